#include "api/StoredObjectXmlWriter.h"

#include <atomic>

namespace {

std::atomic<StoredObjectXmlWriter*> installedWriter{nullptr};

} // namespace

void setStoredObjectXmlWriter(StoredObjectXmlWriter* writer) {
    installedWriter.store(writer);
}

StoredObjectXmlWriter* getStoredObjectXmlWriter() {
    return installedWriter.load();
}
