// Category logging: the entry points through which the library writes its
// trace records. A category is traced once a logger with a file has been
// given to it; until then every trace call finds no logger and writes
// nothing. Every entry function holds the logging lock for its whole run.
#pragma once

#include <array>
#include <span>

#include "foundation/CVoskWaitMutex.h"
#include "foundation/QuillonString.h"

class LogManager;

// The trace categories.
inline constexpr const char Vosk_Discovery[] = "Vosk_Discovery";
inline constexpr const char Vosk_Zoning[] = "Vosk_Zoning";
inline constexpr const char Vosk_ConnectionMgr[] = "Vosk_ConnectionMgr";
inline constexpr const char Vosk_Session[] = "Vosk_Session";
inline constexpr const char Vosk_API_State[] = "Vosk_API_State";
inline constexpr const char Vosk_API_XML[] = "Vosk_API_XML";
inline constexpr const char Vosk_Eventing[] = "Vosk_Eventing";
inline constexpr const char Vosk_Ext_API[] = "Vosk_Ext_API";
// Names all eight categories when tracing is started or stopped.
inline constexpr const char Vosk_All[] = "Vosk_All";
inline constexpr std::array<const char*, 8> allTraceCategories = {
    Vosk_Discovery, Vosk_Zoning,  Vosk_ConnectionMgr, Vosk_Session,
    Vosk_API_State, Vosk_API_XML, Vosk_Eventing,      Vosk_Ext_API};

// The logging lock: re-entrant, innermost of the library's locks.
CVoskWaitMutex& getLoggingMutex();
// The process-wide log manager, made on first use.
LogManager& getLogManager();

// Writes a FINE record to the category: `message` with the method name,
// argument text, source file and line (negative: none). A null message or
// argument is written as "NULL". 0 when written, -2 when the category is not
// traced, -1 when a handler failed (the record is lost).
int logTrace(const char* category, const char* message, const QuillonString& method,
             const char* argument, const QuillonString& sourceFile, int line);
// As logTrace, without the "NULL" substitution.
int logTraceRecord(const char* category, const char* message, const QuillonString& method,
                   const char* argument, const QuillonString& sourceFile, int line);
// Writes `message` as a FINE record with no source details: 0, -2 when the
// category is not traced, -1 when the logger refused it.
int logToCategory(const char* category, const char* message);

bool isCategoryEnabled(const char* category);
// Gives an untraced category a logger writing to `fileName` (shared with
// every category already writing to that exact name): true. False, changing
// nothing, when the category is already traced.
bool enableCategory(const char* category, const char* fileName);
// enableCategory for each untraced category: true when one was enabled.
bool enableCategories(std::span<const char* const> categories, const char* fileName);
// Removes the category's logger (its file closes once no category uses
// it): true; false when the category was not traced.
bool disableCategory(const char* category);
// False when none of the categories is traced; else disables them all.
bool disableCategories(std::span<const char* const> categories);

// "Entering "/"Exiting " records of a method, and a plain message under a
// method, with the current line. `sourceFile` is the module name written in
// the record (such as "hapi_impl"). Arguments go in as plain text: never
// pass a password.
#define TRACE_ENTER(category, method, sourceFile)                                                  \
    logTrace((category), "Entering ", (method), "", (sourceFile), __LINE__)
#define TRACE_EXIT(category, method, sourceFile)                                                   \
    logTrace((category), "Exiting ", (method), "", (sourceFile), __LINE__)
#define TRACE_MESSAGE(category, message, method, sourceFile)                                       \
    logTrace((category), (message), (method), "", (sourceFile), __LINE__)
