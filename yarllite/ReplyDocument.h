// The pieces of a <YarlResponse> document that the front end writes itself:
// header (declaration, root, date, echo), version block, faults, footer.
// Each appends to the reply text.
#pragma once

#include <string>
#include <string_view>

// How a command's failure is written. The forms differ only in where the
// line breaks stand; callers and clients rely on each exactly.
enum class FaultForm {
    None,    // no fault is written
    A,       // "<Fault>\n<YarlErrorCode>n</YarlErrorCode></Fault>\n"
    B,       // "<Fault>\n<YarlErrorCode>n</YarlErrorCode>\n</Fault>\n"
    C,       // "<Fault>\n<YarlErrorCode>\nn</YarlErrorCode></Fault>\n"
    Handler, // the handler writes its own (form B, appendFault)
};

// The lines of the version block a command writes.
enum class VersionBlock { None, TwoLines, ThreeLines };

// The host's local time as "Tue Mar 5  9:07:03 2024": weekday, month, day,
// two blanks, hour, minute and second, year, no leading zeros.
std::string formatResponseDate();

// The declaration, "<YarlResponse>", the date and the echo text (escaped).
void writeResponseHeader(std::string& reply, std::string_view echo);
void writeResponseFooter(std::string& reply);
// The APIVersion and YarlVersion lines, and with ThreeLines the
// AttributeEncoding line ("yarlattr" for encoding 1, else "en-us").
void writeVersionBlock(std::string& reply, VersionBlock lines, int attributeEncoding);

// Form B for a nonzero code; nothing for 0.
void appendFault(std::string& reply, int code);
// The fault of `form` for a nonzero code; nothing for 0 or FaultForm::None
// and FaultForm::Handler.
void appendFaultForm(std::string& reply, FaultForm form, int code);
// The fault -3 of a request without a declaration or with a command name
// that is not recognised.
void appendUnknownCommandFault(std::string& reply);
// The fault -91 of a document the parser rejected, with the parser's
// message (escaped) in DetailString.
void appendDocumentFault(std::string& reply, std::string_view detail);
