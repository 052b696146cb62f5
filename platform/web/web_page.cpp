#include "platform/web/web_page.h"

// The page's side, in web_page.js.
extern "C" {
void pentagram_page_ended();
void pentagram_page_error(const char* program, const char* report);
}

namespace platform::web {

void ShowEnded() { pentagram_page_ended(); }

void ShowError(const std::string& program, const std::string& report) {
    pentagram_page_error(program.c_str(), report.c_str());
}

}  // namespace platform::web
