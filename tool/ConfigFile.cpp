#include "ConfigFile.h"

#include <cstdio>
#include <memory>

#include "DecimalPrefix.h"
#include "console.h"

namespace {

constexpr std::size_t MaxTextLength = 80; // of a name, and of a value

// The states of the reader.
enum State {
    BetweenEntries = 501,
    InPlainValue = 502,
    InQuotedValue = 503,
    InName = 504,
    ValueExpected = 505,
    InComment = 506,
};

// The characters of a file, each carriage return before a line feed dropped.
class FileCharacters {
public:
    explicit FileCharacters(std::FILE* file) : file_(file) {}
    int next() {
        int c = std::getc(file_);
        if (c == '\r') {
            const int after = std::getc(file_);
            if (after == '\n')
                return after;
            if (after != EOF)
                std::ungetc(after, file_);
        }
        return c;
    }

private:
    std::FILE* file_;
};

bool isWhiteSpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v';
}
// Blank, tab, carriage return or line feed: what ends a name or a plain value.
bool endsWord(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isNameCharacter(int c) {
    return c == '_' || (c >= 'A' && c <= 'Z');
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

int parseConfigFile(const std::string& path, SystemParameters& parameters, Console& console) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file)
        return -1;
    FileCharacters characters(file.get());
    State state = BetweenEntries;
    std::string name;
    std::string value;
    int lineFeeds = 0;
    const auto noValue = [&] {
        console.print("\nCONFIG: System parameter, %s, has no value \n\n", name.c_str());
        return -1;
    };
    const auto append = [&](int c) {
        if (value.size() >= MaxTextLength) {
            console.print("\nCONFIG: System parameter value,\n%s\n too long\n\n", value.c_str());
            return false;
        }
        value.push_back(static_cast<char>(c));
        return true;
    };
    for (;;) {
        const int c = characters.next();
        if (c == '\n')
            ++lineFeeds;
        if (c == '"' && (state == BetweenEntries || state == InPlainValue || state == InName)) {
            console.print("\nCONFIG: Quote (\") in wrong context at line #%d\n\n", lineFeeds);
            return -1;
        }
        if (c == '#') {
            if (state == BetweenEntries || state == InComment) {
                state = InComment;
                continue;
            }
            if (state == InName || state == ValueExpected)
                return noValue();
        }
        switch (state) {
        case BetweenEntries:
            if (c == EOF || isWhiteSpace(c))
                break;
            if (!isNameCharacter(c)) {
                console.print("\nCONFIG: Invalid system parameter: %c (%02x) \n\n", c,
                              static_cast<unsigned char>(c));
                return -1;
            }
            name.assign(1, static_cast<char>(c));
            state = InName;
            break;
        case InName:
            if (isNameCharacter(c)) {
                if (name.size() >= MaxTextLength) {
                    console.print("\nCONFIG: System parameter,\n%s\n  is too long\n\n",
                                  name.c_str());
                    return -1;
                }
                name.push_back(static_cast<char>(c));
            } else if (endsWord(c)) {
                state = name.empty() ? BetweenEntries : ValueExpected;
            } else if (c == EOF) {
                return noValue();
            } else {
                console.print("\nCONFIG: Invalid system parameter Id: %s\n\n", name.c_str());
                return -1;
            }
            break;
        case ValueExpected:
            if (c == EOF)
                return noValue();
            if (isWhiteSpace(c))
                break;
            value.clear();
            if (c == '"') {
                state = InQuotedValue;
            } else {
                value.push_back(static_cast<char>(c));
                state = InPlainValue;
            }
            break;
        case InPlainValue:
        case InQuotedValue: {
            const bool quoted = state == InQuotedValue;
            if (c == EOF || (quoted ? c == '"' : endsWord(c))) {
                if (setSystemParameter(name, value, parameters, console) != 0) {
                    console.write(quoted ? "Configuration file error \n\n\n"
                                         : "Configuration file format error \n\n\n");
                    return -1;
                }
                state = BetweenEntries;
            } else if (!append(c)) {
                return -1;
            }
            break;
        }
        case InComment:
            if (c == '\n')
                state = BetweenEntries;
            break;
        }
        if (c == EOF)
            return 0;
    }
}

int setSystemParameter(const std::string& name, const std::string& value,
                       SystemParameters& parameters, Console& console) {
    struct TextKey {
        const char* name;
        std::string SystemParameters::*field;
    };
    static const TextKey textKeys[] = {
        {"CA_SERVER_NAME", &SystemParameters::CA_SERVER_NAME},
        {"LOG_FILE_NAME", &SystemParameters::LOG_FILE_NAME},
        {"REQUESTOR", &SystemParameters::REQUESTOR},
        {"DTD_LOCATION", &SystemParameters::DTD_LOCATION},
    };
    struct NumberKey {
        const char* name;
        std::int32_t SystemParameters::*field;
    };
    static const NumberKey numberKeys[] = {
        {"CA_PORT", &SystemParameters::CA_PORT},
        {"CONN_TIMEOUT", &SystemParameters::CONN_TIMEOUT},
        {"CSR_LIC_RPT_ON", &SystemParameters::CSR_LIC_RPT_ON},
        {"NUM_RETRY", &SystemParameters::NUM_RETRY},
        {"RECV_TIMEOUT", &SystemParameters::RECV_TIMEOUT},
        {"RETRY_WAIT", &SystemParameters::RETRY_WAIT},
    };
    for (const TextKey& key : textKeys) {
        if (name == key.name) {
            parameters.*key.field = value;
            return 0;
        }
    }
    for (const NumberKey& key : numberKeys) {
        if (name == key.name) {
            parameters.*key.field = decimalPrefix(value);
            return 0;
        }
    }
    if (name == "FAB_ADDR_FILE_NAME") {
        // An address file given with -a stays.
        if (parameters.FAB_ADDR_FILE_NAME.empty())
            parameters.FAB_ADDR_FILE_NAME = value;
        return 0;
    }
    if (name == "LOG_LEVEL") {
        parameters.logLevel = decimalPrefix16(value);
        return 0;
    }
    console.print("\nERROR: config parameter, %s, unknown\n\n", name.c_str());
    return -1;
}
