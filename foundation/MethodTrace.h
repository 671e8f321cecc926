// "Entering " and "Exiting " trace records around a method, and single
// trace records that never fail their caller.
#pragma once

// Writes one FINE trace record; does nothing when the category is not
// traced. A record that cannot be written is dropped: trace results are
// ignored everywhere, and tracing must never end an operation. Arguments go
// in as plain text: never pass a password.
void traceRecord(const char* category, const char* message, const char* method,
                 const char* argument, const char* sourceFile, int line) noexcept;

// Writes "Entering " when constructed and "Exiting " when the scope ends,
// both with the method name, the source module and the line of the scope.
class MethodTrace {
public:
    MethodTrace(const char* category, const char* method, const char* sourceFile,
                int line = __builtin_LINE()) noexcept;
    ~MethodTrace();
    MethodTrace(const MethodTrace&) = delete;
    MethodTrace& operator=(const MethodTrace&) = delete;

private:
    const char* category_;
    const char* method_;
    const char* sourceFile_;
    int line_;
};
