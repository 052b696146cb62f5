#pragma once

#include <optional>
#include <string>

#include "platform/form.h"

namespace platform {

// A form as the runtime drives it: the window services the program sees,
// plus the hook through which the runtime hands it the program's handlers.
class RuntimeForm : public Form {
public:
    virtual void Attach(FormEvents& events) = 0;
};

// What End throws: it unwinds the handler that called End, and the Load
// handler around it, back to RunForm. Not an error, and not derived from
// std::exception, so that nothing catching errors can swallow it.
struct EndOfProgram {};

[[noreturn]] void EndProgram();

// Raises Unload and, unless a handler cancels it, ends the program.
void RaiseUnload(FormEvents& events);

// Raises Load, then keeps handling window events until the program ends.
// Returns nothing when the program ended through End or a close, and the
// run-time error's text when an error ended it.
[[nodiscard]] std::optional<std::string> RunForm(RuntimeForm& form, FormEvents& events);

// The one line the runtime writes to stderr for a run-time error.
[[nodiscard]] std::string RunTimeErrorLine(const std::string& program, const std::string& error);

}  // namespace platform
