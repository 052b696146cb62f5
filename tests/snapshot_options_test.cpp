// The snapshot tool's arguments: what it accepts and what it turns away.

#include <gtest/gtest.h>

#include "tools/snapshot_options.h"

namespace {

using tools::ParseSnapshotOptions;
using tools::SnapshotOptions;

SnapshotOptions Parsed(const std::vector<std::string>& args) {
    const auto result = ParseSnapshotOptions(args);
    if (const auto* problem = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << *problem;
        return {};
    }
    return std::get<SnapshotOptions>(result);
}

bool Refused(const std::vector<std::string>& args) {
    return std::holds_alternative<std::string>(ParseSnapshotOptions(args));
}

TEST(SnapshotOptionsTest, DefaultsToOneFrameOfAMaximisedWindow) {
    const SnapshotOptions options = Parsed({});
    EXPECT_EQ(options.width, 1024);
    EXPECT_EQ(options.height, 740);
    EXPECT_EQ(options.frames, 1U);
    EXPECT_FALSE(options.captions);
    EXPECT_FALSE(options.digests);
    EXPECT_FALSE(options.out);
}

TEST(SnapshotOptionsTest, TakesEveryFlag) {
    const SnapshotOptions options =
        Parsed({"--size", "300x500", "--frames", "72", "--captions", "--digests", "--out", "figure.png"});
    EXPECT_EQ(options.width, 300);
    EXPECT_EQ(options.height, 500);
    EXPECT_EQ(options.frames, 72U);
    EXPECT_TRUE(options.captions);
    EXPECT_TRUE(options.digests);
    EXPECT_EQ(options.out, "figure.png");
    EXPECT_EQ(Parsed({"--frames", "18446744073709551615"}).frames, 18446744073709551615ULL);
}

TEST(SnapshotOptionsTest, RefusesMalformedAndNonPositiveSizes) {
    for (const char* size : {"0x0", "0x10", "10x0", "-5x10", "10x", "x10", "abcxdef", "10", "10x10x10", "1.5x2",
                             " 10x10", "100000x100000", "16385x10"}) {
        EXPECT_TRUE(Refused({"--size", size})) << size;
    }
    EXPECT_EQ(Parsed({"--size", "16384x1"}).width, 16384);
}

TEST(SnapshotOptionsTest, RefusesFrameCountsThatAreNotPositiveWholeNumbers) {
    for (const char* frames : {"0", "-1", "18446744073709551616", "ten", "1e3", ""}) {
        EXPECT_TRUE(Refused({"--frames", frames})) << frames;
    }
}

TEST(SnapshotOptionsTest, RefusesUnknownFlagsAndMissingValues) {
    EXPECT_TRUE(Refused({"--colour"}));
    EXPECT_TRUE(Refused({"picture.png"}));
    EXPECT_TRUE(Refused({"--size"}));
    EXPECT_TRUE(Refused({"--frames"}));
    EXPECT_TRUE(Refused({"--out"}));
    EXPECT_TRUE(Refused({"--out", ""}));
}

}  // namespace
