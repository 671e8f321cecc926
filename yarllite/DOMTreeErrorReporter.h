// The parser's error handler for one command: remembers that an error was
// reported and the text of the last one, with its line and column.
//
// Parsing goes on after an error of validity, so a hostile document could
// make the parser report without end; after kMaxReports reports the
// reporter stops the parse by throwing ParseAborted.
#pragma once

#include <cstddef>
#include <string>

#include <xercesc/sax/ErrorHandler.hpp>

class DOMTreeErrorReporter : public xercesc::ErrorHandler {
public:
    // The message text holds at most this many characters, its line break
    // included.
    static constexpr std::size_t kMaxTextLength = 511;
    static constexpr int kMaxReports = 100;

    // Thrown from a report once kMaxReports reports were made.
    struct ParseAborted {};

    DOMTreeErrorReporter() = default;
    ~DOMTreeErrorReporter() override = default;

    void warning(const xercesc::SAXParseException& exception) override;
    void error(const xercesc::SAXParseException& exception) override;
    void fatalError(const xercesc::SAXParseException& exception) override;
    void resetErrors() override;

    bool hasErrors() const { return errors_; }
    const std::string& errorText() const { return text_; }
    // Records an error that did not come through a report (the parser
    // stopped with an exception of its own): "<message>\n", bounded.
    void setErrorText(const std::string& message);

private:
    void report(const char* kind, const xercesc::SAXParseException& exception);

    bool errors_ = false;
    std::string text_;
    int reports_ = 0;
};
