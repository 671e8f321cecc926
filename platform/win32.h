// The part of the Win32 thread and synchronisation interface the library
// uses, built on POSIX threads.
//
// Handles are kernel objects of this process only: threads, events and
// mutexes. Names given to CreateEventA and CreateMutexA are accepted and
// ignored (the library passes none). Security attributes are unused.
// There is deliberately no TerminateThread: threads end cooperatively.
#pragma once

#include <cstddef>
#include <cstdint>

using HANDLE = void*;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BOOL = int;
using LPCSTR = const char*;
using LPVOID = void*;
using LPDWORD = DWORD*;
using SIZE_T = std::size_t;
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

inline constexpr DWORD INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
inline constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Creation flags CreateThread accepts: none (threads start running).
inline constexpr DWORD CREATE_SUSPENDED = 0x00000004u;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

// Starts a thread running start(parameter). Returns its handle, or null when
// the thread cannot be made (CREATE_SUSPENDED is not supported and fails).
// threadId, when given, receives the thread's system identifier.
HANDLE CreateThread(void* threadAttributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);

// Thread: waits for it to end. Event: waits until it is set (an auto-reset
// event is reset by the wait that it releases). Mutex: waits to own it.
// Returns WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED for a null handle.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// An event, auto-reset unless manualReset; set when initialState.
HANDLE CreateEventA(void* eventAttributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

// A re-entrant mutex owned by one thread at a time; owned by the caller
// when initialOwner.
HANDLE CreateMutexA(void* mutexAttributes, BOOL initialOwner, LPCSTR name);
// Releases one level of ownership; fails when the caller does not own it.
BOOL ReleaseMutex(HANDLE mutex);

// Frees the handle. A thread handle closed does not stop the thread.
BOOL CloseHandle(HANDLE handle);

void Sleep(DWORD milliseconds);
DWORD GetCurrentThreadId();
void GetLocalTime(SYSTEMTIME* time);
