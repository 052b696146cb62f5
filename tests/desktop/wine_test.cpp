// The Windows program as a person meets it, under Wine on a virtual X
// desktop with openbox (without a window manager Wine's windows neither
// maximise nor close promptly): the window, its title, a click, the window
// manager's close, restore and minimise, the decimal separator of a user's
// regional settings, no display at all, and the installer and uninstaller.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>

#include "tests/desktop/desktop_fixture.h"
#include "tests/desktop/ratio_title.h"

namespace desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const std::string kWindowsDir = PENTAGRAM_WINDOWS_DIR;
constexpr auto kWineStart = seconds(120);

// A Wine prefix of the tests' own, made once for the suite. Wine's session
// (its server and desktop process) belongs to the display it started on,
// and each test has a desktop of its own: the session is ended after each.
class WinePrefix {
public:
    WinePrefix() : path_(std::filesystem::temp_directory_path() / ("pentagram-wine-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path_);
        Process boot({"wineboot", "-i"}, Environment());
        if (boot.WaitExit(kWineStart) != 0) {
            throw std::runtime_error("wineboot did not finish: " + boot.Stderr());
        }
        EndSession();
    }
    ~WinePrefix() {
        EndSession();
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    // Wine quiet, and without the Mono and Gecko installers wineboot would offer.
    [[nodiscard]] Process::Environment Environment() const {
        return {{"WINEPREFIX", path_.string()}, {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
    }
    [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

    // Ends every Wine process of the prefix and its server.
    void EndSession() const {
        Process stop({"wineserver", "-k"}, Environment());
        (void)stop.WaitExit(seconds(20));
        Process gone({"wineserver", "-w"}, Environment());
        (void)gone.WaitExit(seconds(20));
    }

private:
    std::filesystem::path path_;
};

class WineTest : public DesktopTest {
protected:
    static void SetUpTestSuite() { prefix_ = std::make_unique<WinePrefix>(); }
    static void TearDownTestSuite() { prefix_.reset(); }
    void TearDown() override { prefix_->EndSession(); }

    // A Windows program under Wine on this desktop.
    std::unique_ptr<Process> StartWine(const std::vector<std::string>& argv, const Environment& extra = {}) {
        Environment environment = prefix_->Environment();
        environment["DISPLAY"] = desktop_.Display();
        environment["LC_ALL"] = "C";
        for (const auto& [name, value] : extra) {
            environment[name] = value;
        }
        std::vector<std::string> command{"wine"};
        command.insert(command.end(), argv.begin(), argv.end());
        return std::make_unique<Process>(command, environment);
    }

    std::unique_ptr<Process> StartWindowsProgram(const Environment& extra = {}) {
        return StartWine({kWindowsDir + "/pentagram.exe"}, extra);
    }

    // Wine answers a click, a close and a restore a little later than a
    // native window: its window manager's requests go through its own server.
    static constexpr auto kWineExit = seconds(5);

    static std::unique_ptr<WinePrefix> prefix_;
};

std::unique_ptr<WinePrefix> WineTest::prefix_;

TEST_F(WineTest, ComesUpMaximisedWithTheRatioTitleAndTheFirstClickEndsIt) {
    auto program = StartWindowsProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    EXPECT_TRUE(IsRatioTitle(x_.Title(window))) << x_.Title(window);
    const auto area = x_.ClientArea(window);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->width, kScreenWidth);
    (void)CaptureFitted(window, area->width, area->height);
    x_.Click(area->x + area->width / 2, area->y + area->height / 3);
    EXPECT_EQ(program->WaitExit(kWineExit), 0) << program->Stderr();
}

TEST_F(WineTest, ClosingThroughTheWindowManagerEndsIt) {
    auto program = StartWindowsProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.RequestClose(window);
    EXPECT_EQ(program->WaitExit(kWineExit), 0) << program->Stderr();
}

TEST_F(WineTest, RestoredItHasTheNormalSizeAndMinimisedItRests) {
    auto program = StartWindowsProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.SetMaximised(window, false);
    // 4680 x 3195 twips at 96 dots per inch.
    (void)CaptureFitted(window, 312, 213);

    x_.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return x_.Minimised(window); }, kSettle)) << "not minimised";
    std::this_thread::sleep_for(milliseconds(500));
    const long before = CpuTicks(program->Pid());
    std::this_thread::sleep_for(seconds(2));
    const long used = CpuTicks(program->Pid()) - before;
    EXPECT_LE(used, 2 * sysconf(_SC_CLK_TCK) / 50) << "ticks in 2 s while minimised: more than 2 % of a core";
    x_.Activate(window);
    ASSERT_TRUE(WaitUntil([&] { return !x_.Minimised(window); }, kSettle)) << "not restored";
    const auto area = x_.ClientArea(window);
    ASSERT_TRUE(area);
    const Picture shown = CaptureFitted(window, area->width, area->height);
    EXPECT_TRUE(WaitUntil([&] { return x_.Capture(window).pixels != shown.pixels; }, kSettle))
        << "the figure does not turn after restoring";
}

// The separator of the user's regional settings: a Finnish user's comma,
// and three characters of a user's own choosing, set as Windows' regional
// settings keep them (Wine keeps a setting while the locale stays the same).
TEST_F(WineTest, TheTitleHasTheUsersDecimalSeparator) {
    const std::string own = "<\u066B>";
    const std::string international = "HKCU\\Control Panel\\International";
    struct Case {
        const char* locale;
        std::optional<std::string> setting;
        std::string separator;
    };
    for (const Case& user : {Case{"fi_FI.UTF-8", std::nullopt, ","}, Case{"C.UTF-8", own, own}}) {
        const Environment locale{{"LC_ALL", user.locale}};
        if (user.setting) {
            auto set = StartWine(
                {"reg", "add", international, "/v", "sDecimal", "/t", "REG_SZ", "/d", *user.setting, "/f"}, locale);
            ASSERT_EQ(set->WaitExit(seconds(30)), 0) << set->Stderr();
        }
        auto program = StartWindowsProgram(locale);
        const Window window = WaitForMaximisedWindow(*program);
        ASSERT_NE(window, None);
        const std::string title = x_.Title(window);
        EXPECT_TRUE(
            std::regex_match(title, std::regex("Fii on suunnilleen 1" + user.separator + "6180339887(4989|499)")))
            << user.locale << ": " << title;
        x_.RequestClose(window);
        EXPECT_EQ(program->WaitExit(kWineExit), 0) << program->Stderr();
        if (user.setting) {
            auto unset = StartWine({"reg", "delete", international, "/v", "sDecimal", "/f"}, locale);
            EXPECT_EQ(unset->WaitExit(seconds(30)), 0) << unset->Stderr();
        }
    }
}

TEST_F(WineTest, WithNoDisplayItEndsWithTheRunTimeError) {
    auto program = StartWindowsProgram({{"DISPLAY", std::nullopt}});
    EXPECT_EQ(program->WaitExit(seconds(30)), 1);
    EXPECT_TRUE(program->Stderr().starts_with("pentagram: run-time error: cannot open the window: "))
        << program->Stderr();
}

TEST_F(WineTest, TheInstallerInstallsAndTheUninstallerRemovesAll) {
    const auto drive = prefix_->Path() / "drive_c";
    auto installer = StartWine({kWindowsDir + "/pentagram-setup.exe", "/S"});
    ASSERT_EQ(installer->WaitExit(seconds(60)), 0) << installer->Stderr();
    // Where the user's own programs and Start menu are, in this prefix.
    std::filesystem::path installed;
    std::filesystem::path shortcut;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drive / "users")) {
        if (entry.path().filename() == "pentagram.exe") {
            installed = entry.path();
        } else if (entry.path().filename() == "pentagram.lnk") {
            shortcut = entry.path();
        }
    }
    ASSERT_FALSE(installed.empty()) << "pentagram.exe was not installed";
    EXPECT_FALSE(shortcut.empty()) << "no Start-menu entry";
    EXPECT_TRUE(std::filesystem::exists(installed.parent_path() / "uninstall.exe"));
    const std::string key = R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\pentagram)";
    auto query = StartWine({"reg", "query", key, "/v", "DisplayName"});
    EXPECT_EQ(query->WaitExit(seconds(30)), 0) << "no entry among the installed programs";

    auto program = StartWine({installed.string()});
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None) << "the installed program does not run";
    x_.RequestClose(window);
    EXPECT_EQ(program->WaitExit(kWineExit), 0);

    // The uninstaller runs on from a copy of itself, so that it can remove
    // its own folder: its work is done once the folder is gone.
    auto uninstaller = StartWine({(installed.parent_path() / "uninstall.exe").string(), "/S"});
    ASSERT_EQ(uninstaller->WaitExit(seconds(60)), 0) << uninstaller->Stderr();
    EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(installed.parent_path()); }, seconds(30)))
        << "the program's folder is still there";
    EXPECT_FALSE(std::filesystem::exists(shortcut)) << "the Start-menu entry is still there";
    auto gone = StartWine({"reg", "query", key});
    EXPECT_NE(gone->WaitExit(seconds(30)), 0) << "the entry among the installed programs is still there";
}

}  // namespace
}  // namespace desktop
