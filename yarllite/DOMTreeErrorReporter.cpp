#include "yarllite/DOMTreeErrorReporter.h"

#include <xercesc/sax/SAXParseException.hpp>

#include "yarllite/XercesText.h"

namespace {

// `prefix`, `message` and a line break, cut so that the whole stays within
// the reporter's bound and still ends with its line break.
std::string boundedLine(const std::string& prefix, const std::string& message) {
    std::string line = prefix + message;
    if (line.size() > DOMTreeErrorReporter::kMaxTextLength - 1) {
        line.resize(DOMTreeErrorReporter::kMaxTextLength - 1);
        // No UTF-8 sequence is left cut in two.
        std::size_t keep = line.size();
        while (keep > 0 && (static_cast<unsigned char>(line[keep - 1]) & 0xC0) == 0x80) {
            --keep;
        }
        if (keep > 0 && static_cast<unsigned char>(line[keep - 1]) >= 0xC0) {
            const auto lead = static_cast<unsigned char>(line[keep - 1]);
            const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            if (line.size() - (keep - 1) < length) {
                line.resize(keep - 1);
            }
        }
    }
    line += '\n';
    return line;
}

} // namespace

void DOMTreeErrorReporter::warning(const xercesc::SAXParseException&) {}

void DOMTreeErrorReporter::error(const xercesc::SAXParseException& exception) {
    report("Error", exception);
}

void DOMTreeErrorReporter::fatalError(const xercesc::SAXParseException& exception) {
    report("Fatal error", exception);
}

void DOMTreeErrorReporter::resetErrors() {
    errors_ = false;
}

void DOMTreeErrorReporter::setErrorText(const std::string& message) {
    errors_ = true;
    text_ = boundedLine("", message);
}

void DOMTreeErrorReporter::report(const char* kind, const xercesc::SAXParseException& exception) {
    errors_ = true;
    const std::string prefix = std::string(kind) + " in input XML line " +
                               std::to_string(exception.getLineNumber()) + " column " +
                               std::to_string(exception.getColumnNumber()) + " error ";
    text_ = boundedLine(prefix, toUtf8(exception.getMessage()));
    if (++reports_ >= kMaxReports) {
        throw ParseAborted{};
    }
}
