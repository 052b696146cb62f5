#pragma once

// What each operating system supplies to the process entry
// (program_entry.cpp) in program_entry_<system>.cpp: its kind of native
// window, and its way of showing a run-time error to the person.

#include <memory>
#include <optional>
#include <string>

#include "platform/form/form_runtime.h"
#include "platform/process/program_entry.h"
#include "platform/window/native_window.h"
#include "platform/window/window_form.h"

namespace platform {

// Runs the program in this system's kind of window; the run-time error
// that ended it, if one did. May also throw one.
[[nodiscard]] std::optional<std::string> RunInWindow(const FormDesign& design, const FormEventsFactory& makeEvents);

// Shows a run-time error's report in a message box, where the system can
// show one, and waits for the person to close it.
void ShowErrorBox(const std::string& program, const std::string& report);

// The program run in a window form over the native window.
inline std::optional<std::string> RunIn(const FormDesign& design, std::unique_ptr<NativeWindow> window,
                                        std::unique_ptr<CloseSignals> signals, const FormEventsFactory& makeEvents) {
    WindowForm form(design, std::move(window), std::move(signals));
    const std::unique_ptr<FormEvents> events = makeEvents(form);
    return RunForm(form, *events);
}

}  // namespace platform
