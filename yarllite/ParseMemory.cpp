#include "yarllite/ParseMemory.h"

#include <new>

#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

ParseMemory::~ParseMemory() {
    for (void* block : blocks_) {
        ::operator delete(block);
    }
}

xercesc::MemoryManager* ParseMemory::getExceptionMemoryManager() {
    return xercesc::XMLPlatformUtils::fgMemoryManager;
}

void* ParseMemory::allocate(XMLSize_t size) {
    void* block = nullptr;
    try {
        block = ::operator new(size);
        blocks_.insert(block);
    } catch (const std::bad_alloc&) {
        ::operator delete(block);
        throw xercesc::OutOfMemoryException();
    }
    return block;
}

void ParseMemory::deallocate(void* block) {
    blocks_.erase(block);
    ::operator delete(block);
}
