#include "services/ConfigManager.h"

#include <atomic>
#include <cstring>
#include <new>
#include <unordered_set>
#include <vector>

#include <orvane/status.h>

#include "connection/clilib_transfer.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/StatusTranslation.h"
#include "objects/SessionForOid.h"
#include "objects/gorlib.h"

namespace {

std::atomic<ConfigManager*> theConfigManager{nullptr};

constexpr int kSectionMissing = -36;
constexpr int kKeyRefusedStatus = -50;

constexpr const char kOnlineSection[] = "[online]";
constexpr const char kNonSupportedSection[] = "[non-supported]";

constexpr const char kFixedPolicyKeys[] = "D_Options.OPTIONS_POLICY\n"
                                          "A_Options.OPTIONS_POLICY\n"
                                          "D_Rsnmp.RSNMP_POLICY\n"
                                          "A_Rsnmp.RSNMP_POLICY\n"
                                          "D_Wsnmp.WSNMP_POLICY\n"
                                          "A_Wsnmp.WSNMP_POLICY\n"
                                          "D_Telnet.TELNET_POLICY\n"
                                          "A_Telnet.TELNET_POLICY\n"
                                          "D_Http.HTTP_POLICY\n"
                                          "A_Http.HTTP_POLICY\n"
                                          "D_Api.API_POLICY\n"
                                          "A_Api.API_POLICY\n"
                                          "D_Ses.SES_POLICY\n"
                                          "A_Ses.SES_POLICY\n"
                                          "D_Ms.MS_POLICY\n"
                                          "A_Ms.MS_POLICY\n"
                                          "D_Serial.SERIAL_POLICY\n"
                                          "A_Serial.SERIAL_POLICY\n"
                                          "D_Frontpanel.FRONTPANEL_POLICY\n"
                                          "A_Frontpanel.FRONTPANEL_POLICY\n"
                                          "D_Scc.SCC_POLICY\n"
                                          "A_Scc.SCC_POLICY\n"
                                          "D_Dcc.DCC_POLICY\n"
                                          "A_Dcc.DCC_POLICY";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The words of `text`, split at white space.
std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        const std::size_t start = at;
        while (at < text.size() && !isBlank(text[at]))
            ++at;
        if (at > start)
            words.push_back(text.substr(start, at - start));
    }
    return words;
}

// The lines of `text`, each without the white space before it; empty lines
// are left out.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        if (at == text.size())
            break;
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

// The key of a configuration line: the part before its first ':', without
// trailing white space.
std::string_view keyOf(std::string_view line) {
    std::string_view key = line.substr(0, line.find(':'));
    while (!key.empty() && isBlank(key.back()))
        key.remove_suffix(1);
    return key;
}

bool isSectionWord(std::string_view word) {
    return word == kOnlineSection || word == kNonSupportedSection;
}

// A caller block holding `text` and its NUL; null without memory.
char* callerText(const std::string& text) {
    auto* block = static_cast<char*>(falAllocObject(text.size() + 1));
    if (block != nullptr)
        std::memcpy(block, text.c_str(), text.size() + 1);
    return block;
}

} // namespace

ConfigManager::ConfigManager() : buffer(new char[kConfigTextMax + 1]) {
    buffer[0] = '\0';
}

ConfigManager::~ConfigManager() = default;

ConfigManager* ConfigManager::initConfigMgr() {
    auto* manager = new ConfigManager;
    delete theConfigManager.exchange(manager);
    return manager;
}

void ConfigManager::dispose() {
    delete theConfigManager.exchange(nullptr);
}

ConfigManager* ConfigManager::instance() {
    return theConfigManager.load();
}

const char* ConfigManager::fixedPolicyKeys() {
    return kFixedPolicyKeys;
}

int ConfigManager::read(SessionContext* handle, const unsigned char name[8], int kind, char* into,
                        std::size_t size) {
    int length = 0;
    const int status = uploadFromSwitch(handle, name, kind, 1, &length, into, size + 1);
    if (status != 0)
        return MapApiError(status);
    into[length >= 0 && static_cast<std::size_t>(length) <= size ? length : 0] = '\0';
    return 0;
}

int ConfigManager::upload(const char* switchOid, char** configText) {
    if (switchOid == nullptr || switchOid[0] == '\0' || configText == nullptr)
        return FABAPI_ERR_BAD_ARGUMENT;
    unsigned char name[8];
    SessionContext* handle = nullptr;
    if (const int status = GetSessionForOid(switchOid, name, handle); status != 0)
        return status;
    LockGuard device(getSwitchRequestMutex());
    if (const int status = read(handle, name, kConfigKind, buffer.get(), kConfigTextMax);
        status != 0)
        return status;
    char* block = callerText(std::string(buffer.get()));
    *configText = block;
    return block == nullptr ? FABAPI_ERR_OUT_OF_MEMORY : 0;
}

int ConfigManager::download(const char* switchOid, char allowReboot, const char* configText) {
    if (switchOid == nullptr || switchOid[0] == '\0' || configText == nullptr ||
        (allowReboot != 0 && allowReboot != 1))
        return FABAPI_ERR_BAD_ARGUMENT;
    unsigned char name[8];
    SessionContext* handle = nullptr;
    if (const int status = GetSessionForOid(switchOid, name, handle); status != 0)
        return status;
    LockGuard device(getSwitchRequestMutex());
    std::string text(configText);
    if (const int status = filterChangedLines(handle, name, text); status != 0)
        return status;
    if (text.empty())
        return 0;
    const int check = checkPrefixes(handle, name, text);
    if (check == kKeyRefused)
        return kKeyRefusedStatus;
    if (check != kKeyAllowed && check != kKeyUnknown)
        return check;
    if (check == kKeyUnknown && allowReboot == 0)
        return kNeedsReboot;
    const int operation = check == kKeyUnknown ? kRebootOperation : kOnlineOperation;
    const int status =
        downloadToSwitch(handle, name, operation, static_cast<int>(text.size()),
                         reinterpret_cast<const unsigned char*>(text.data()));
    if (status != 0)
        return MapApiError(status);
    return operation == kRebootOperation ? kSentWithReboot : 0;
}

int ConfigManager::getPrefixes(const char* switchOid, unsigned short section, char** prefixes) {
    if (switchOid == nullptr || switchOid[0] == '\0' || prefixes == nullptr)
        return FABAPI_ERR_BAD_ARGUMENT;
    if (section != 1 && section != 2)
        return FABAPI_ERR_BAD_ARGUMENT;
    unsigned char name[8];
    SessionContext* handle = nullptr;
    if (const int status = GetSessionForOid(switchOid, name, handle); status != 0)
        return status;
    LockGuard device(getSwitchRequestMutex());
    char list[kPrefixListMax + 1];
    if (const int status = read(handle, name, kPrefixKind, list, kPrefixListMax); status != 0)
        return status;

    const std::string_view wanted = section == 1 ? kOnlineSection : kNonSupportedSection;
    const std::vector<std::string_view> words = wordsOf(list);
    std::size_t at = 0;
    while (at < words.size() && words[at] != wanted)
        ++at;
    if (at == words.size())
        return kSectionMissing;
    std::string text;
    for (++at; at < words.size() && !isSectionWord(words[at]); ++at) {
        text.append(words[at]);
        text.push_back('\n');
    }
    if (section == 2) {
        text.append(kFixedPolicyKeys);
        text.push_back('\n');
    }
    char* block = callerText(text);
    if (block == nullptr)
        return FABAPI_ERR_OUT_OF_MEMORY;
    *prefixes = block;
    return 0;
}

int ConfigManager::filterChangedLines(SessionContext* handle, const unsigned char name[8],
                                      std::string& text) {
    // A text without a line break is a single line, not a list of changes.
    if (text.find('\n') == std::string::npos)
        return FABAPI_ERR_BAD_ARGUMENT;
    if (const int status = read(handle, name, kConfigKind, buffer.get(), kConfigTextMax);
        status != 0)
        return status;
    // Whole lines of the current text: a line is unchanged only when the
    // switch holds exactly that line, never when it is part of a longer one.
    std::unordered_set<std::string_view> current;
    for (std::string_view line : linesOf(buffer.get())) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        current.insert(line);
    }
    std::string kept;
    for (std::string_view line : linesOf(text)) {
        if (line.front() == '[')
            continue;
        std::string_view compared = line;
        if (compared.back() == '\r')
            compared.remove_suffix(1);
        if (current.count(compared) != 0)
            continue;
        kept.append(line);
        kept.push_back('\n');
    }
    text = std::move(kept);
    return 0;
}

int ConfigManager::checkPrefixes(SessionContext* handle, const unsigned char name[8],
                                 const std::string& text) {
    char list[kPrefixListMax + 1];
    if (const int status = read(handle, name, kPrefixKind, list, kPrefixListMax); status != 0)
        return status;
    for (std::string_view line : linesOf(text)) {
        const std::string key(keyOf(line));
        if (const int result = checkKey(key.c_str(), list); result != kKeyAllowed)
            return result;
    }
    return kKeyAllowed;
}

int ConfigManager::checkKey(const char* key, std::string_view list) {
    if (key == nullptr)
        return kKeyAllowed;
    const std::string_view name(key);
    for (std::string_view fixed : linesOf(kFixedPolicyKeys))
        if (name.find(fixed) != std::string_view::npos)
            return kKeyRefused;
    // The first prefix of the list that the key starts with decides, by the
    // section it stands in.
    bool online = false;
    for (std::string_view word : wordsOf(list)) {
        if (word == kOnlineSection) {
            online = true;
            continue;
        }
        if (word == kNonSupportedSection) {
            online = false;
            continue;
        }
        if (name.substr(0, word.size()) == word)
            return online ? kKeyAllowed : kKeyRefused;
    }
    return kKeyUnknown;
}

char* nextToken(char* text, const char* delimiters, char** position) {
    if (position == nullptr || delimiters == nullptr)
        return nullptr;
    char* at = text != nullptr ? text : *position;
    if (at == nullptr)
        return nullptr;
    at += std::strspn(at, delimiters);
    if (*at == '\0') {
        *position = nullptr;
        return nullptr;
    }
    char* end = at + std::strcspn(at, delimiters);
    if (*end != '\0') {
        *end = '\0';
        *position = end + 1;
    } else {
        *position = nullptr;
    }
    return at;
}

char* nextToken(char* text, const char* delimiters) {
    thread_local char* position = nullptr;
    return nextToken(text, delimiters, &position);
}
