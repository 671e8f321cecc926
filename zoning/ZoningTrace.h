// The "Entering Method" and "Exiting Method" trace records of zoning access
// under Vosk_Zoning. The exiting record is written only when the operation
// ends normally.
#pragma once

#include <string>

class ZoningTrace {
public:
    // `method` is the operation's name with its level, such as
    // "ZoningObjectCreate Version 2.2"; `sourceFile` the module name.
    ZoningTrace(const char* method, const char* sourceFile)
        : method_(method), source_(sourceFile) {}

    void enter(const std::string& arguments = std::string(), int line = __builtin_LINE()) const;
    void exit(const std::string& arguments = std::string(), int line = __builtin_LINE()) const;

    // Whether the records are written at all (to skip building arguments).
    static bool enabled();

private:
    const char* method_;
    const char* source_;
};

// "true" or "false".
inline const char* flagText(unsigned flag) {
    return flag == 1 ? "true" : "false";
}

// "ZoningObjectName=<name> ZoningObjectType=<type>".
inline std::string nameAndTypeText(const char* name, const std::string& type) {
    return std::string("ZoningObjectName=") + name + " ZoningObjectType=" + type;
}
