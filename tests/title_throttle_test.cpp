#include "platform/window/title_throttle.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using platform::TitleThrottle;
using namespace std::chrono_literals;

constexpr auto kInterval = 10ms;

struct TitleThrottleTest : testing::Test {
    TitleThrottle throttle{"Form1", kInterval};
    TitleThrottle::Clock::time_point start{};
};

TEST_F(TitleThrottleTest, SendsTheFirstChangeAtOnceAndNothingWhileTheTitleStaysTheSame) {
    EXPECT_EQ(throttle.Due("Form1", start), std::nullopt) << "the window already shows its first title";
    EXPECT_EQ(throttle.Due("Fii on suunnilleen 1.61803398874989", start), "Fii on suunnilleen 1.61803398874989");
    EXPECT_EQ(throttle.Due("Fii on suunnilleen 1.61803398874989", start + 1h), std::nullopt);
}

TEST_F(TitleThrottleTest, HoldsChangesBackWithinAnIntervalAndSendsTheLatestAfterIt) {
    ASSERT_EQ(throttle.Due("a", start), "a");
    EXPECT_EQ(throttle.Due("b", start + 4ms), std::nullopt);
    EXPECT_EQ(throttle.Due("c", start + 9ms), std::nullopt);
    EXPECT_EQ(throttle.Due("c", start + 10ms), "c") << "the latest title, not the first held back";
    EXPECT_EQ(throttle.Due("c", start + 30ms), std::nullopt);
}

TEST_F(TitleThrottleTest, ATitleChangedBackBeforeItWasSentIsNotSentAgain) {
    ASSERT_EQ(throttle.Due("a", start), "a");
    EXPECT_EQ(throttle.Due("b", start + 1ms), std::nullopt) << "within the interval";
    EXPECT_EQ(throttle.Due("a", start + 20ms), std::nullopt);
}

// A title changing at every one of 1000 frames a second for a second: no
// more sends than intervals, and none shows a title older than an interval
// and a frame.
TEST_F(TitleThrottleTest, AtAThousandFramesASecondSendsAtMostOncePerInterval) {
    int sent = 0;
    auto lastSent = start;
    for (int frame = 0; frame < 1000; ++frame) {
        const auto now = start + std::chrono::milliseconds(frame);
        if (const auto title = throttle.Due(std::to_string(frame), now)) {
            EXPECT_EQ(*title, std::to_string(frame));
            EXPECT_LE(now - lastSent, kInterval + 1ms);
            lastSent = now;
            ++sent;
        }
    }
    EXPECT_EQ(sent, 100);
}

TEST(TitleThrottleIntervalTest, IsOneRefreshBetweenASixtiethAndAHundredAndTwentiethOfASecond) {
    using std::chrono::duration;
    const auto seconds = [](int hertz) {
        return duration<double>(TitleThrottle::IntervalForRefreshRate(hertz)).count();
    };
    EXPECT_NEAR(seconds(60), 1.0 / 60, 1e-9);
    EXPECT_NEAR(seconds(75), 1.0 / 75, 1e-9);
    EXPECT_NEAR(seconds(144), 1.0 / 120, 1e-9);
    EXPECT_NEAR(seconds(30), 1.0 / 60, 1e-9);
    EXPECT_NEAR(seconds(0), 1.0 / 60, 1e-9) << "a display that does not say";
}

}  // namespace
