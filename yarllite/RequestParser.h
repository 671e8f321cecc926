// One hardened parse of a request document held in memory.
//
// External entities and document types are refused (HardenedEntityResolver),
// the parser's own resolution is disabled, entity expansion is bounded, and
// every exception of the parser is caught here and turned into an error
// text. Validation is on when asked for; the first fatal error ends the
// parse, while errors of validity let it go on.
#pragma once

#include <string>
#include <string_view>

#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/SecurityManager.hpp>

#include "yarllite/DOMTreeErrorReporter.h"
#include "yarllite/HardenedEntityResolver.h"
#include "yarllite/ParseMemory.h"

class RequestParser {
public:
    // More entity expansions than this end the parse with an error.
    static constexpr std::size_t kEntityExpansionLimit = 1000;
    // System identifier of the memory source the request is read from.
    static constexpr char kSystemId[] = "prodInfo";

    RequestParser();
    RequestParser(const RequestParser&) = delete;
    RequestParser& operator=(const RequestParser&) = delete;

    // Parses `text` (kept by the caller while the parse runs). True when the
    // parser reported no error and the document has a root element.
    bool parse(std::string_view text, bool validate);

    // The document's root element after a successful parse; it lives as
    // long as this parser.
    xercesc::DOMElement* root();
    // The last error reported, ended by a line break.
    const std::string& errorText() const { return reporter_.errorText(); }

    // Blocks of the parser's memory still held (the document among them).
    std::size_t blocksHeld() const { return memory_.blocksHeld(); }

private:
    ParseMemory memory_; // first: the parser allocates from it to its end
    HardenedEntityResolver resolver_;
    xercesc::SecurityManager security_;
    DOMTreeErrorReporter reporter_;
    xercesc::XercesDOMParser parser_; // last: it refers to the members above
};
