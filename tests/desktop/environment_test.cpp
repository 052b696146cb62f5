// What a desktop hands over to the program: its locale, which gives the
// title's decimal separator, and its display and authority, which a wrong
// one of ends it with a clear error.

#include <gtest/gtest.h>
#include <csignal>

#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "tests/desktop/desktop_fixture.h"
#include "tests/desktop/ratio_title.h"
#include "tests/support/required_locale.h"

namespace desktop {
namespace {

using std::chrono::seconds;

using EnvironmentTest = DesktopTest;

TEST_F(EnvironmentTest, AnUnknownLocaleFallsBackToADecimalPoint) {
    auto program = StartProgram({{"LC_ALL", "xx_NOWHERE.UTF-8"}, {"LANG", "yy_NOWHERE"}});
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    EXPECT_TRUE(IsRatioTitle(x_.Title(window))) << x_.Title(window);
    EXPECT_EQ(program->Stderr(), "");
}

// The locale's separator, whatever its length: exactly in the EWMH title,
// and in the ICCCM name as well as its encodings carry it; the numbers' own
// locale where LANG names another, of another character set.
TEST_F(EnvironmentTest, TheTitleHasTheLocalesDecimalSeparator) {
    using testing_support::kFinnishLocale;
    using testing_support::kLatin1Locale;
    using testing_support::kPashtoLocale;
    const std::vector<std::pair<Environment, const char*>> cases{
        {{{"LC_ALL", kFinnishLocale}}, ","},
        {{{"LC_ALL", kPashtoLocale}}, "\u066B"},
        {{{"LC_ALL", std::nullopt}, {"LANG", kLatin1Locale}, {"LC_NUMERIC", kPashtoLocale}}, "\u066B"},
    };
    for (const char* needed : {kFinnishLocale, kPashtoLocale, kLatin1Locale}) {
        ASSERT_TRUE(testing_support::LocaleInstalled(needed)) << testing_support::Missing(needed);
    }
    for (const auto& [environment, separator] : cases) {
        std::string locale;
        for (const auto& [name, value] : environment) {
            locale += name + "=" + value.value_or("") + " ";
        }
        auto program = StartProgram(environment);
        const Window window = WaitForMaximisedWindow(*program);
        ASSERT_NE(window, None);
        const std::regex ratio(std::string("Fii on suunnilleen 1") + separator + "6180339887(4989|499)");
        const std::string title = x_.Title(window);
        const std::string name = x_.IcccmName(window);
        EXPECT_TRUE(std::regex_match(title, ratio)) << locale << ": " << title;
        EXPECT_TRUE(std::regex_match(name, ratio)) << locale << ": " << name;
        program->Signal(SIGTERM);
        EXPECT_EQ(program->WaitExit(std::chrono::seconds(2)), 0);
    }
}

class AuthorityTest : public DesktopTest {
protected:
    AuthorityTest() : DesktopTest(WithAuthority()) {}

    static DisplaySetup WithAuthority() {
        DisplaySetup setup;
        setup.withAuthority = true;
        return setup;
    }
};

TEST_F(AuthorityTest, AGarbageAuthorityFileIsAClearErrorAndTheRightOneWorks) {
    const std::string garbage = ScratchFile("garbage-xauthority");
    std::ofstream(garbage) << "this is not an authority file\n";
    auto refused = StartProgram({{"XAUTHORITY", garbage}});
    EXPECT_EQ(refused->WaitExit(seconds(10)), 1);
    const std::string report = refused->Stderr();
    EXPECT_TRUE(std::regex_match(report, std::regex("pentagram: run-time error: cannot open the window: the X "
                                                    "display ':[0-9]+' refused the connection: .+\n")))
        << report;
    std::remove(garbage.c_str());

    auto admitted = StartProgram();
    EXPECT_NE(WaitForMaximisedWindow(*admitted), None);
}

TEST(BadEnvironmentTest, AnEmptyOrMissingDisplayIsAClearError) {
    for (const std::optional<std::string>& display :
         {std::optional<std::string>{}, std::optional<std::string>{""}, std::optional<std::string>{":4242"},
          std::optional<std::string>{"nonsense"}}) {
        Process program(ProgramCommand(ProgramUnderTest(PENTAGRAM_PROGRAM)), {{"DISPLAY", display}});
        EXPECT_EQ(program.WaitExit(seconds(10)), 1) << display.value_or("(unset)");
        const std::string report = program.Stderr();
        EXPECT_TRUE(report.starts_with("pentagram: run-time error: cannot open the window: ")) << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    }
}

}  // namespace
}  // namespace desktop
