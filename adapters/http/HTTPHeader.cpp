#include "adapters/http/HTTPHeader.h"

std::string HTTPHeader::HTTPGeneralHeader::toString() const {
    std::string out;
    date.appendTo(out);
    pragma.appendTo(out);
    return out;
}

std::string HTTPHeader::HTTPEntityHeader::toString() const {
    std::string out;
    for (const HTTPHeaderField* field : {&allow, &contentEncoding, &contentLength, &contentType,
                                         &expires, &lastModified, &extensionHeader}) {
        field->appendTo(out);
    }
    return out;
}
