// The termination signals set the flag instead of ending the process, and the previous
// handling comes back with the handlers' owner.
#include "platform/sdl/quit_signals.h"

#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace {

TEST(QuitSignals, EachSignalSetsTheFlagAndTheOldHandlingReturns)
{
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(sig);
        struct sigaction before = {};
        sigaction(sig, nullptr, &before);
        {
            TQuitSignals signals;
            EXPECT_FALSE(TQuitSignals::Arrived());
            ASSERT_EQ(raise(sig), 0);
            EXPECT_TRUE(TQuitSignals::Arrived());
        }
        EXPECT_FALSE(TQuitSignals::Arrived());
        struct sigaction after = {};
        sigaction(sig, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
    }
}

TEST(QuitSignals, ASecondSignalTakesTheDefaultWay)
{
    // Run in a child: the default way ends the process.
    EXPECT_EXIT(
        {
            TQuitSignals signals;
            raise(SIGTERM);
            raise(SIGTERM);
            std::exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
}

// A signal the main thread does not take in time ends the process with status 0; one it takes,
// or one that comes once the game's quit is under way, leaves the ending to the quit path.
TEST(QuitSignals, ARequestNotTakenInTimeEndsTheProcess)
{
    EXPECT_EXIT(
        {
            TQuitSignals signals;
            raise(SIGTERM);
            sleep(10);
            std::exit(3);
        },
        testing::ExitedWithCode(0), "did not take the quit signal in time");
    EXPECT_EXIT(
        {
            TQuitSignals signals;
            raise(SIGTERM);
            TQuitSignals::Taken();
            usleep((TQuitSignals::kAnswerLimitMs + 500) * 1000);
            std::exit(3);
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EXIT(
        {
            TQuitSignals signals;
            TQuitSignals::Taken();
            raise(SIGTERM);
            usleep((TQuitSignals::kAnswerLimitMs + 500) * 1000);
            std::exit(3);
        },
        testing::ExitedWithCode(3), "");
}

}  // namespace
