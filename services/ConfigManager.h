// The process-wide configuration manager: reads a switch's configuration
// text, writes its changed lines back, and lists the key prefixes that the
// switch takes online. It owns the one buffer that holds a switch's current
// text during a transfer; start-up makes it and shutdown deletes it.
//
// A configuration text is lines of "key:value" grouped under section lines
// in square brackets. The prefix list of a switch names, under "[online]",
// the key prefixes that may be written while the switch runs, and under
// "[non-supported]" those it does not take.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

struct SessionContext;

class ConfigManager {
public:
    // The largest configuration text; the buffer holds it and its NUL.
    static constexpr std::size_t kConfigTextMax = 0x80000;
    // The largest prefix list.
    static constexpr std::size_t kPrefixListMax = 2048;
    // Transfer kinds of the upload: the configuration text, the prefix list.
    static constexpr int kConfigKind = 0;
    static constexpr int kPrefixKind = 4;
    // Download operations: applied while the switch runs, or with a reboot.
    static constexpr int kOnlineOperation = 2;
    static constexpr int kRebootOperation = 3;
    // Results of a download that are not errors.
    static constexpr int kSentWithReboot = 100;
    static constexpr int kNeedsReboot = 101;
    // Results of checkKey.
    static constexpr int kKeyAllowed = 0;
    static constexpr int kKeyUnknown = 1;
    static constexpr int kKeyRefused = 2;

    ConfigManager();
    virtual ~ConfigManager();
    ConfigManager(const ConfigManager&) = delete;
    ConfigManager& operator=(const ConfigManager&) = delete;

    // Makes the process-wide manager and returns it.
    static ConfigManager* initConfigMgr();
    // Deletes the manager when there is one and clears the pointer.
    static void dispose();
    // The manager, or null outside start-up and shutdown.
    static ConfigManager* instance();

    // The switch's configuration text in a new caller block. -3 for an empty
    // identifier or a null result pointer, the codes of GetSessionForOid, a
    // translated transfer failure, -2 (and a null *configText) without
    // memory.
    int upload(const char* switchOid, char** configText);
    // Writes the lines of `configText` that differ from the switch's text.
    // 0 (also when nothing differs), 100 when sent with operation 3 (keys
    // the prefix list does not name, allowReboot 1), 101 when not sent for
    // that reason with allowReboot 0; -3 for bad arguments (allowReboot
    // other than 0 or 1, a text of one line without a line break), -50 for
    // a refused key, the lookup's codes, a translated transfer failure.
    int download(const char* switchOid, char allowReboot, const char* configText);
    // The prefixes of section 1 ("[online]") or 2 ("[non-supported]", with
    // the fixed policy keys after them), one per line, in a new caller
    // block. -3 for another section, -36 when the switch's list lacks it.
    int getPrefixes(const char* switchOid, unsigned short section, char** prefixes);

    // Keeps of `text` the lines that the switch's current text does not
    // hold as they are; section lines are dropped. 0, -3 for a text of one
    // line without a line break, or a translated transfer failure. The
    // caller holds the device-access lock.
    int filterChangedLines(SessionContext* handle, const unsigned char name[8], std::string& text);
    // The first result of checkKey other than 0 over the keys of the lines
    // of `text`, else 0; or a translated transfer failure.
    int checkPrefixes(SessionContext* handle, const unsigned char name[8],
                      const std::string& text);
    // 0 allowed, 2 refused (a fixed policy key, or a prefix outside
    // "[online]"), 1 unknown to the list. A null key is allowed.
    static int checkKey(const char* key, std::string_view list);

    // The security policy keys that a download never writes: one per line,
    // no final line break.
    static const char* fixedPolicyKeys();

private:
    // Reads one text of the switch (`kind`) into `into`, which holds `size`
    // bytes and the NUL; a translated status.
    static int read(SessionContext* handle, const unsigned char name[8], int kind, char* into,
                    std::size_t size);

    std::unique_ptr<char[]> buffer;
};

// The next token of `text` split at any of the `delimiters`, as strtok
// does: a non-null `text` starts a new text, null goes on where the last
// call of this thread stopped. Each thread keeps its own position.
char* nextToken(char* text, const char* delimiters);
// The same with the position in the caller's hands.
char* nextToken(char* text, const char* delimiters, char** position);
