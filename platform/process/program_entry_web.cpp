// A browser tab: the window is a canvas that fills the page, a run-time
// error is shown in the page as the desktops show it in a box, and the end
// of the program is said there, since a page cannot close its own tab.

#include <memory>
#include <string>

#include "platform/process/program_entry_system.h"
#include "platform/web/web_page.h"
#include "platform/web/web_window.h"

namespace platform {

std::optional<std::string> RunInWindow(const FormDesign& design, const FormEventsFactory& makeEvents) {
    // No signals: a tab is closed by the browser, which ends the page with it.
    std::optional<std::string> error = RunIn(design, std::make_unique<web::WebWindow>(), nullptr, makeEvents);
    if (!error) {
        web::ShowEnded();
    }
    return error;
}

void ShowErrorBox(const std::string& program, const std::string& report) { web::ShowError(program, report); }

}  // namespace platform
