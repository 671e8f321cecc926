#include "platform/win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <thread>

namespace {

struct Closer {
    HANDLE handle;
    ~Closer() { CloseHandle(handle); }
};

TEST(Win32Event, ManualResetStaysSetUntilReset) {
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Closer c{e};
    EXPECT_EQ(WaitForSingleObject(e, 10), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ResetEvent(e));
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST(Win32Event, AutoResetReleasesOneWait) {
    HANDLE e = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    Closer c{e};
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 10), WAIT_TIMEOUT);
    SetEvent(e);
    SetEvent(e); // setting a set event keeps one signal
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
}

TEST(Win32Event, SetFromAnotherThreadReleasesAWaiter) {
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Closer c{e};
    std::thread t([e] {
        Sleep(10);
        SetEvent(e);
    });
    EXPECT_EQ(WaitForSingleObject(e, 10000), WAIT_OBJECT_0);
    t.join();
}

TEST(Win32Mutex, IsReentrantAndOwnedByOneThread) {
    HANDLE m = CreateMutexA(nullptr, FALSE, nullptr);
    Closer c{m};
    ASSERT_EQ(WaitForSingleObject(m, INFINITE), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
    DWORD otherWait = 0;
    BOOL otherRelease = TRUE;
    std::thread([&] {
        otherWait = WaitForSingleObject(m, 10);
        otherRelease = ReleaseMutex(m);
    }).join();
    EXPECT_EQ(otherWait, WAIT_TIMEOUT);
    EXPECT_FALSE(otherRelease) << "a thread that does not own the mutex cannot release it";
    EXPECT_TRUE(ReleaseMutex(m));
    std::thread([&] { otherWait = WaitForSingleObject(m, 10); }).join();
    EXPECT_EQ(otherWait, WAIT_TIMEOUT) << "one level is still held";
    EXPECT_TRUE(ReleaseMutex(m));
    EXPECT_FALSE(ReleaseMutex(m));
    std::thread([&] {
        otherWait = WaitForSingleObject(m, 10);
        ReleaseMutex(m);
    }).join();
    EXPECT_EQ(otherWait, WAIT_OBJECT_0);
}

TEST(Win32Mutex, InitialOwnerHoldsIt) {
    HANDLE m = CreateMutexA(nullptr, TRUE, nullptr);
    Closer c{m};
    DWORD otherWait = 0;
    std::thread([&] { otherWait = WaitForSingleObject(m, 0); }).join();
    EXPECT_EQ(otherWait, WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(m));
}

DWORD recordThreadId(LPVOID argument) {
    Sleep(20);
    static_cast<std::atomic<DWORD>*>(argument)->store(GetCurrentThreadId());
    return 0;
}

TEST(Win32Thread, RunsAndCanBeWaitedFor) {
    std::atomic<DWORD> seen{0};
    DWORD id = 0;
    HANDLE t = CreateThread(nullptr, 0, recordThreadId, &seen, 0, &id);
    ASSERT_NE(t, nullptr);
    Closer c{t};
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(seen.load(), id);
    EXPECT_EQ(WaitForSingleObject(t, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
}

DWORD waitOnEvent(LPVOID event) {
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

// A thread whose handle is closed: it reports its end through `ended`, so
// that the event it waits on is not closed under it.
struct HandlelessWaiter {
    HANDLE event;
    HANDLE ended;
};

DWORD waitOnEventThenReportEnd(LPVOID argument) {
    auto* waiter = static_cast<HandlelessWaiter*>(argument);
    WaitForSingleObject(waiter->event, INFINITE);
    SetEvent(waiter->ended);
    return 0;
}

TEST(Win32Thread, WaitTimesOutWhileRunningAndHandleMayCloseFirst) {
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Closer ce{e};
    HANDLE t = CreateThread(nullptr, 0, waitOnEvent, e, 0, nullptr);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(WaitForSingleObject(t, 10), WAIT_TIMEOUT);
    HANDLE secondEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Closer cs{secondEnded};
    HandlelessWaiter waiter{e, secondEnded};
    HANDLE second = CreateThread(nullptr, 0, waitOnEventThenReportEnd, &waiter, 0, nullptr);
    ASSERT_NE(second, nullptr);
    CloseHandle(second); // the thread runs on without its handle
    SetEvent(e);
    EXPECT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
    CloseHandle(t);
    // The event and the waiter outlive the handle-less thread's last use.
    EXPECT_EQ(WaitForSingleObject(secondEnded, 10000), WAIT_OBJECT_0);
}

TEST(Win32Thread, RefusesWhatItCannotDo) {
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(CreateThread(nullptr, 0, waitOnEvent, nullptr, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(nullptr));
    HANDLE m = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_FALSE(SetEvent(m)) << "a mutex is not an event";
    CloseHandle(m);
}

TEST(Win32Time, LocalTimeMatchesTheCalendar) {
    SYSTEMTIME st{};
    time_t before = time(nullptr);
    GetLocalTime(&st);
    tm local{};
    localtime_r(&before, &local);
    EXPECT_EQ(st.wYear, local.tm_year + 1900);
    EXPECT_GE(st.wMonth, 1);
    EXPECT_LE(st.wMonth, 12);
    EXPECT_GE(st.wDay, 1);
    EXPECT_LE(st.wDay, 31);
    EXPECT_LE(st.wDayOfWeek, 6);
    EXPECT_LE(st.wHour, 23);
    EXPECT_LT(st.wMilliseconds, 1000);
}

} // namespace
