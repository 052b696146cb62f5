// The snapshot tool as a developer runs it: its output, its exit statuses,
// and what it leaves behind when it cannot do what it was asked.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/required_locale.h"

namespace {

using std::chrono::seconds;
using testing_support::Process;

struct ToolRun {
    std::optional<int> status;
    std::string out;
    std::string err;
};

ToolRun RunTool(std::vector<std::string> args, const std::string& locale = "C") {
    args.insert(args.begin(), PENTAGRAM_SNAPSHOT);
    Process tool(args, {{"LC_ALL", locale}});
    ToolRun run;
    run.status = tool.WaitExit(seconds(60));
    run.out = tool.Stdout();
    run.err = tool.Stderr();
    return run;
}

std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A folder of its own for each test, removed afterwards.
class SnapshotToolTest : public testing::Test {
protected:
    SnapshotToolTest()
        : folder_(std::filesystem::temp_directory_path() /
                  ("pentagram-tool-" + std::to_string(getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::create_directories(folder_);
    }
    ~SnapshotToolTest() override { std::filesystem::remove_all(folder_); }

    [[nodiscard]] std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::filesystem::path folder_;
};

TEST_F(SnapshotToolTest, PrintsTheTitleOfEveryFrame) {
    const ToolRun run = RunTool({"--frames", "5", "--captions"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out), 5U) << run.out;
    EXPECT_TRUE(std::regex_match(run.out, std::regex(R"((Fii on suunnilleen 1\.6180339887(4989|499)\n){5})")))
        << run.out;
    EXPECT_EQ(run.err, "");
}

// A turn of the figure is 360 frames: its 361st frame is its first again,
// picture and title.
TEST_F(SnapshotToolTest, PrintsEveryFramesPictureDigestAndTitle) {
    const ToolRun run = RunTool({"--size", "120x90", "--frames", "361", "--digests"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::vector<std::string> frames;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_TRUE(std::regex_match(line, std::regex(R"([0-9a-f]{1,8} Fii on suunnilleen 1\.6180339887(4989|499))")))
            << line;
        frames.push_back(line);
    }
    ASSERT_EQ(frames.size(), 361U);
    EXPECT_EQ(frames[360], frames[0]);
    EXPECT_NE(frames[1].substr(0, frames[1].find(' ')), frames[0].substr(0, frames[0].find(' ')));
}

TEST_F(SnapshotToolTest, WritesThePictureAsAPng) {
    const auto path = (folder_ / "figure.png").string();
    const ToolRun run = RunTool({"--size", "200x100", "--frames", "3", "--out", path});
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream png(path, std::ios::binary);
    std::string signature(8, '\0');
    png.read(signature.data(), 8);
    EXPECT_EQ(signature, "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"figure.png"});
}

// The locale's own separator, whatever its length; a point where the
// locale is unknown.
TEST_F(SnapshotToolTest, TheCaptionsHaveTheLocalesDecimalSeparator) {
    const std::vector<std::pair<const char*, const char*>> cases{
        {testing_support::kFinnishLocale, "Fii on suunnilleen 1,61803398874989\n"},
        {testing_support::kPashtoLocale, "Fii on suunnilleen 1\u066B61803398874989\n"},
        {"xx_NOWHERE.UTF-8", "Fii on suunnilleen 1.61803398874989\n"},
    };
    for (const auto& [locale, captions] : cases) {
        ASSERT_TRUE(std::string_view(locale).starts_with("xx") || testing_support::LocaleInstalled(locale))
            << testing_support::Missing(locale);
        const ToolRun run = RunTool({"--captions"}, locale);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, captions) << locale;
    }
}

TEST_F(SnapshotToolTest, BadArgumentsGetOneUsageLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {{"--colour", "red"},
                                                       {"--size", "0x0"},
                                                       {"--size", "-5x10"},
                                                       {"--size", "10x"},
                                                       {"--size", "x10"},
                                                       {"--size", "abcxdef"},
                                                       {"--size", "100000x100000"},
                                                       {"--frames", "0"},
                                                       {"--frames", "-1"},
                                                       {"--frames", "99999999999999999999"},
                                                       {"--frames"},
                                                       {"--out"}};
    for (const auto& args : bad) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(Lines(run.err), 1U) << run.err;
        EXPECT_NE(run.err.find("usage: pentagram-snapshot"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(SnapshotToolTest, AnUnwritableOutputIsStatusOneAndLeavesNothing) {
    const std::string notAFolder = (folder_ / "plain-file").string();
    std::ofstream(notAFolder) << "not a folder";
    for (const std::string& path :
         {(folder_ / "missing" / "figure.png").string(), notAFolder + "/figure.png", folder_.string()}) {
        const ToolRun run = RunTool({"--out", path});
        EXPECT_EQ(run.status, 1) << path;
        EXPECT_EQ(Lines(run.err), 1U) << run.err;
        EXPECT_NE(run.err.find("cannot write " + path), std::string::npos) << run.err;
    }
    // Nothing half-written: the folder holds only what the test put there.
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"plain-file"});
}

TEST_F(SnapshotToolTest, AFailedWriteKeepsWhatThePathHeld) {
    // A folder cannot be replaced by a file: the rename fails after the
    // picture was written beside it, and that partial file must go.
    const auto target = folder_ / "taken";
    std::filesystem::create_directories(target / "inside");
    const ToolRun run = RunTool({"--out", target.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(std::filesystem::is_directory(target / "inside"));
    EXPECT_EQ(FolderContents(), std::vector<std::string>{"taken"});
}

}  // namespace
