#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Mutex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>

namespace {

// Runs f on another thread and returns its result.
template <class F> auto onOtherThread(F f) {
    return std::async(std::launch::async, f).get();
}

// tryLock's result on another thread, which lets go again of what it took.
int tryLockFromAnotherThread(Mutex& m) {
    return onOtherThread([&] {
        int r = m.tryLock();
        if (r == 0)
            m.unlock();
        return r;
    });
}

TEST(Mutex, TryLockFromAnotherThreadFailsWhileHeld) {
    Mutex m;
    EXPECT_EQ(m.tryLock(), 0);
    EXPECT_EQ(onOtherThread([&] { return m.tryLock(); }), 1);
    m.unlock();
    EXPECT_EQ(tryLockFromAnotherThread(m), 0);
}

TEST(Mutex, ReentryIsReleasedLevelByLevel) {
    Mutex m;
    m.lock();
    m.lock();
    EXPECT_EQ(m.tryLock(), 0);
    m.unlock();
    m.unlock();
    EXPECT_EQ(onOtherThread([&] { return m.tryLock(); }), 1) << "one level still held";
    m.unlock();
    EXPECT_EQ(tryLockFromAnotherThread(m), 0);
}

TEST(Mutex, UnlockByNonHolderChangesNothing) {
    Mutex m;
    m.lock();
    onOtherThread([&] {
        m.unlock();
        return 0;
    });
    EXPECT_EQ(onOtherThread([&] { return m.tryLock(); }), 1);
    m.unlock();
}

TEST(Mutex, KnowsWhetherTheCallerHoldsIt) {
    Mutex m;
    EXPECT_FALSE(m.isHeldByCaller());
    m.lock();
    m.lock();
    EXPECT_TRUE(m.isHeldByCaller());
    EXPECT_FALSE(onOtherThread([&] { return m.isHeldByCaller(); }));
    m.unlock();
    EXPECT_TRUE(m.isHeldByCaller()) << "one level still held";
    m.unlock();
    EXPECT_FALSE(m.isHeldByCaller());
    EXPECT_EQ(m.tryLock(), 0);
    EXPECT_TRUE(m.isHeldByCaller());
    m.unlock();
}

TEST(LockGuard, ReleasesOnlyWhatItHolds) {
    Mutex m;
    {
        LockGuard guard(&m);
        EXPECT_TRUE(guard.isHeld());
        guard.unlock();
        EXPECT_EQ(tryLockFromAnotherThread(m), 0);
        guard.lock();
        guard.lock(); // a second lock through the same guard takes no second level
    }
    EXPECT_EQ(tryLockFromAnotherThread(m), 0);
    {
        LockGuard deferred(&m, false);
        EXPECT_FALSE(deferred.isHeld());
        EXPECT_EQ(tryLockFromAnotherThread(m), 0);
    }
}

TEST(LockGuard, SerialisesThreads) {
    Mutex m;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 2000; ++i) {
            LockGuard guard(&m);
            LockGuard again(&m); // re-entry inside the guard
            ++counter;
        }
    };
    std::thread a(work), b(work), c(work);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(counter, 6000);
}

TEST(GlobalLocks, AreFourDistinctLastingLocks) {
    Mutex* locks[] = {getSwitchRequestMutex(), getObjectStoreMutex(), getMemoryRegistryMutex(),
                      getCommandMutex()};
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(locks[i], locks[j]);
    EXPECT_EQ(getObjectStoreMutex(), locks[1]);
    EXPECT_EQ(getSwitchRequestMutex()->rank(), LockRank::DeviceAccess);
    EXPECT_EQ(getObjectStoreMutex()->rank(), LockRank::ObjectModel);
    EXPECT_EQ(getMemoryRegistryMutex()->rank(), LockRank::MemoryRegistry);
    EXPECT_EQ(getCommandMutex()->rank(), LockRank::XmlCommand);
}

#ifdef ORVANE_LOCK_ORDER_CHECK

TEST(LockOrder, TheLockOrderAndReentryAreAllowed) {
    LockGuard command(getCommandMutex());
    LockGuard objects(getObjectStoreMutex());
    LockGuard device(getSwitchRequestMutex());
    LockGuard objectsAgain(getObjectStoreMutex()); // re-entry below a higher rank
    Mutex sameRank("another device lock", LockRank::DeviceAccess);
    LockGuard peer(&sameRank);
    Mutex unranked;
    LockGuard free(&unranked);
    LockGuard registry(getMemoryRegistryMutex());
}

TEST(LockOrder, ReleasedLocksNoLongerCount) {
    { LockGuard device(getSwitchRequestMutex()); }
    LockGuard objects(getObjectStoreMutex());
}

TEST(LockOrderDeathTest, InversionAbortsNamingBothLocks) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            LockGuard device(getSwitchRequestMutex());
            LockGuard objects(getObjectStoreMutex());
        },
        "taking object-model lock .rank 30. while holding device-access lock .rank 40.");
}

TEST(LockOrderDeathTest, LocksTakenWhileTheProcessExitsAreTrackedSafely) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Destroyed after the thread's own objects, like a process-wide
            // manager that locks in its destructor.
            static struct AtExit {
                ~AtExit() {
                    LockGuard objects(getObjectStoreMutex());
                    LockGuard device(getSwitchRequestMutex());
                }
            } atExit;
            (void)atExit;
            { LockGuard device(getSwitchRequestMutex()); }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

#endif

} // namespace
