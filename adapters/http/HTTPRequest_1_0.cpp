#include "adapters/http/HTTPRequest_1_0.h"

std::string HTTPRequest_1_0::getRequest() {
    return header_.toString() + getBody().document.toString();
}
