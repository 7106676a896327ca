#include "core/system/mutex.h"
#include "core/system/thread.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

namespace {

using namespace std::chrono_literals;

class Counter : public TThread
{
public:
    ~Counter() override { StopAndJoin(); }
    std::atomic<int> mLoops{0};
    std::atomic<bool> mReturned{false};

protected:
    void Task(std::atomic<bool>* stop) override
    {
        while (!*stop) {
            ++mLoops;
            std::this_thread::sleep_for(1ms);
        }
        mReturned = true;
    }
};

TEST(Thread, DestructionWaitsForTheTask)
{
    auto* c = new Counter;
    EXPECT_FALSE(c->IsRunning());
    ASSERT_EQ(c->StartTask(), 0);
    EXPECT_TRUE(c->IsRunning());
    EXPECT_EQ(c->StartTask(), EINVAL);
    while (c->mLoops < 3)
        std::this_thread::sleep_for(1ms);
    c->StopAndJoin();
    EXPECT_TRUE(c->mReturned);
    EXPECT_FALSE(c->IsRunning());
    // It can run again after a join.
    c->mReturned = false;
    ASSERT_EQ(c->StartTask(), 0);
    while (c->mLoops < 6)
        std::this_thread::sleep_for(1ms);
    delete c;
}

// Reports to flags that outlive it, so the test can look after the object is gone.
class Reporter : public TThread
{
public:
    Reporter(std::atomic<bool>& started, std::atomic<bool>& returned) : mStarted(started), mReturned(returned) {}
    ~Reporter() override { StopAndJoin(); }

protected:
    void Task(std::atomic<bool>* stop) override
    {
        mStarted = true;
        while (!*stop)
            std::this_thread::sleep_for(1ms);
        // Slow to finish: a destructor that did not wait would return first.
        std::this_thread::sleep_for(20ms);
        mReturned = true;
    }

private:
    std::atomic<bool>& mStarted;
    std::atomic<bool>& mReturned;
};

TEST(Thread, DeleteReturnsOnlyAfterTheTaskHasReturned)
{
    std::atomic<bool> started{false}, returned{false};
    auto* r = new Reporter(started, returned);
    ASSERT_EQ(r->StartTask(), 0);
    while (!started)
        std::this_thread::sleep_for(1ms);
    delete r;
    EXPECT_TRUE(returned);
}

TEST(Thread, UnstartedThreadIsDestroyedAtOnce)
{
    Counter c;
    c.StopAndJoin();
    EXPECT_FALSE(c.mReturned);
}

class SelfStopper : public TThread
{
public:
    ~SelfStopper() override { StopAndJoin(); }
    std::atomic<bool> mDone{false};

protected:
    void Task(std::atomic<bool>* stop) override
    {
        StopAndJoin();  // from its own thread: must not wait for itself
        mSawStop = stop->load();
        mDone = true;
    }

public:
    std::atomic<bool> mSawStop{false};
};

TEST(Thread, StoppingFromInsideTheTaskDoesNotHang)
{
    SelfStopper s;
    ASSERT_EQ(s.StartTask(), 0);
    while (!s.mDone)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(s.mSawStop);
    s.StopAndJoin();
    EXPECT_FALSE(s.IsRunning());
}

TEST(Mutex, IsRecursive)
{
    TMutex m;
    EXPECT_TRUE(m.Lock(0));
    EXPECT_TRUE(m.Lock(5));
    std::atomic<bool> taken{false};
    std::thread other([&] {
        m.Lock(0);
        taken = true;
        EXPECT_EQ(m.Unlock(), 0);
    });
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(taken);
    EXPECT_EQ(m.Unlock(), 0);
    std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(taken);
    EXPECT_EQ(m.Unlock(), 0);
    other.join();
    EXPECT_TRUE(taken);
}

TEST(Mutex, UnlockWithoutHoldingIsRefused)
{
    TMutex m;
    EXPECT_EQ(m.Unlock(), EPERM);
    m.Lock(0);
    std::thread other([&] { EXPECT_EQ(m.Unlock(), EPERM); });
    other.join();
    EXPECT_EQ(m.Unlock(), 0);
}

TEST(Mutex, ScopedLockGuardsSharedCounting)
{
    TMutex m;
    int total = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            TMutexLock hold(m);
            TMutexLock again(m);
            ++total;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(total, 20000);
}

}  // namespace
