#pragma once

// What each desktop supplies to the process entry (desktop.cpp): its kind
// of window, and its way of showing a run-time error to the person.

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/desktop.h"
#include "platform/form_runtime.h"

namespace platform {

// Runs the program in this desktop's kind of window; the run-time error
// that ended it, if one did. May also throw one.
[[nodiscard]] std::optional<std::string> RunInWindow(const FormDesign& design, const FormEventsFactory& makeEvents);

// Shows a run-time error's report in a message box, where the desktop can
// show one, and waits for the person to close it.
void ShowErrorBox(const std::string& program, const std::string& report);

// The program run in a form made from the arguments.
template <typename Window, typename... Arguments>
std::optional<std::string> RunIn(const FormEventsFactory& makeEvents, Arguments&&... arguments) {
    Window form(std::forward<Arguments>(arguments)...);
    const std::unique_ptr<FormEvents> events = makeEvents(form);
    return RunForm(form, *events);
}

}  // namespace platform
