// The writer of one stored object's XML element. The XML command interface
// installs its writer at start; until then StoredObject::writeXml writes
// nothing.
#pragma once

#include <string>

class StoredObject;

class StoredObjectXmlWriter {
public:
    virtual ~StoredObjectXmlWriter() = default;
    // Appends the element of `object` with its attributes and relations to
    // `out`, naming attributes as `encoding` asks.
    virtual void write(const StoredObject& object, std::string& out, int encoding) = 0;
    // The same with the related objects nested inside the element; by
    // default as write().
    virtual void writeTree(const StoredObject& object, std::string& out, int encoding) {
        write(object, out, encoding);
    }
};

// Installs the writer; null restores the default, which writes nothing. The
// writer must live until it is replaced.
void setStoredObjectXmlWriter(StoredObjectXmlWriter* writer);
// The installed writer, or null.
StoredObjectXmlWriter* getStoredObjectXmlWriter();
