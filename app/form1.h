#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/form.h"

namespace app {

// The program's one window: it sets itself up on Load and then turns the
// pentagram, one degree a frame, until a click or a close ends the program.
class Form1 final : public platform::FormEvents {
public:
    // The title's number is written with this decimal separator (UTF-8).
    Form1(platform::Form& form, std::string decimalSeparator)
        : form_(form), decimalSeparator_(std::move(decimalSeparator)) {}

    // Form1 before it loads: titled "Form1", a client area of 4680 x 3195
    // twips when not maximised, placed where the window system puts windows.
    [[nodiscard]] static platform::FormDesign Design() { return {"Form1", 4680, 3195}; }

    void Load() override;
    void Click() override;
    void Unload(std::int16_t& Cancel) override;

private:
    [[nodiscard]] bool HasClientArea() const;

    platform::Form& form_;
    std::string decimalSeparator_;
};

}  // namespace app
