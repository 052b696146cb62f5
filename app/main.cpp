#include <memory>

#include "app/form1.h"
#include "platform/desktop.h"
#include "platform/regional_settings.h"

int main() {
    const char decimalSeparator = platform::UserDecimalSeparator();
    return platform::RunOnDesktop("pentagram", app::Form1::Design(), [decimalSeparator](platform::Form& form) {
        return std::make_unique<app::Form1>(form, decimalSeparator);
    });
}
