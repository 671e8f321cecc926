// Text routines for what the library replies: values picked out of reply
// texts, world wide name texts and hexadecimal numbers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class Console;

// Extraction modes: move the caller's cursor, or leave it.
inline constexpr int MoveCursor = 101;
inline constexpr int KeepCursor = 102;

// Results of extractXmlValue besides the length written.
inline constexpr int ExtractBadArgument = -1001;
inline constexpr int ExtractNoEndTag = -1003;
inline constexpr int ExtractNoStartTag = -1002;
inline constexpr int ExtractUnterminated = -1004;

// Finds `pattern` in `text` from `from`, anchored: a pattern that is "<" and
// an element name alone matches only where a blank, a line break, ">" or "/"
// follows it ("<Switch" never matches "<Switch_Data"); a pattern that begins
// with a letter and ends with "=" (an attribute name) matches only after a
// blank or a line break ("WWN=" never matches "assignedWWN="). npos when
// none.
std::size_t findAnchored(std::string_view text, std::string_view pattern, std::size_t from = 0);

// Picks the value after the first `startTag` that lies before the first
// `endTag` of text[cursor...]. A start tag ending in ">" takes the element's
// content up to the next "<"; any other takes the attribute value between
// the next two double quotes, a backslash dropped and the character after it
// kept. `out` receives prefix, value and suffix, at most maxLen characters
// in all. maxLen 0 only finds the start tag (mode MoveCursor moves the
// cursor past it) and gives 1. The length written (0 for an empty value),
// or ExtractNoEndTag, ExtractNoStartTag, ExtractBadArgument (maxLen below
// the length of prefix and suffix), ExtractUnterminated (the value runs
// into the end tag). In mode MoveCursor the cursor moves to where copying
// stopped.
int extractXmlValue(std::string& out, std::string_view text, std::size_t& cursor,
                    std::string_view startTag, std::string_view endTag, std::size_t maxLen,
                    std::string_view prefix, std::string_view suffix, int mode);

// The text with the five predefined XML entities and character references
// replaced by their characters; any other "&" stays as it is.
std::string decodeXmlText(std::string_view text);

// Appends `text` with & < > " ' written as their entities.
void appendXmlEscaped(std::string& out, std::string_view text);

// World wide name text for a buffer of `outSize` characters: a text holding
// ":" loses its colons; otherwise every character that is no hexadecimal
// digit becomes "X" and a ":" follows every second one while fewer than 23
// characters are written (16 digits give the 23-character colon form). At
// most outSize - 1 characters. The number written plus one, or 0 (out
// emptied) when outSize is below 24.
std::size_t formatWwn(std::string_view in, std::string& out, std::size_t outSize);

// Reads "0x..." (or "-0x...", lower-case x only) into `value`, blanks
// between the digits skipped. 0; -2 without the prefix, -3 for another
// character, each with a message on the console.
int hexStrToLong(Console& console, std::string_view text, long& value);
