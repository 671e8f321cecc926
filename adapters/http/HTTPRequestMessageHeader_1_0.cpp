#include "adapters/http/HTTPRequestMessageHeader_1_0.h"

std::string HTTPRequestMessageHeader::HTTPRequestHeader::toString() const {
    std::string out;
    for (const HTTPHeaderField* field :
         {&authorization, &from, &ifModifiedSince, &referer, &userAgent}) {
        field->appendTo(out);
    }
    return out;
}

std::string HTTPRequestMessageHeader_1_0::toString() {
    return requestLine_.toString() + general_.toString() + entity_.toString() +
           request_.toString() + "\r\n";
}
