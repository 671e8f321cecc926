#include "AddressList.h"

void appendAddress(std::string& addressList, std::string_view address) {
    addressList += "<IPAddress value=\"";
    for (const char c : address) {
        switch (c) {
        case '&':
            addressList += "&amp;";
            break;
        case '<':
            addressList += "&lt;";
            break;
        case '>':
            addressList += "&gt;";
            break;
        case '"':
            addressList += "&quot;";
            break;
        case '\'':
            addressList += "&apos;";
            break;
        default:
            addressList += c;
        }
    }
    addressList += "\" />\n";
}
