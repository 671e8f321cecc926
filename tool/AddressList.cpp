#include "AddressList.h"

#include "ReplyText.h"

void appendAddress(std::string& addressList, std::string_view address) {
    addressList += "<IPAddress value=\"";
    appendXmlEscaped(addressList, address);
    addressList += "\" />\n";
}
