// The memory of one parse: every block the parser takes is remembered, and
// the blocks still held when this object ends are freed with it.
//
// The parser leaks parts of a content model when a fatal error ends the
// parse inside a document type's element declaration; a request document
// comes from the network, so a client could otherwise grow the process
// without bound. Blocks freed by the parser are freed at once.
#pragma once

#include <cstddef>
#include <unordered_set>

#include <xercesc/framework/MemoryManager.hpp>

class ParseMemory : public xercesc::MemoryManager {
public:
    ParseMemory() = default;
    ParseMemory(const ParseMemory&) = delete;
    ParseMemory& operator=(const ParseMemory&) = delete;
    ~ParseMemory() override;

    // Exceptions may outlive the parse: they take the process's memory.
    xercesc::MemoryManager* getExceptionMemoryManager() override;
    void* allocate(XMLSize_t size) override;
    void deallocate(void* block) override;

    // Blocks taken and not yet given back.
    std::size_t blocksHeld() const { return blocks_.size(); }

private:
    std::unordered_set<void*> blocks_;
};
