#include <memory>
#include <string>

#include "app/form1.h"
#include "platform/process/program_entry.h"
#include "platform/process/regional_settings.h"

int main() {
    const std::string decimalSeparator = platform::UserDecimalSeparator();
    return platform::RunProgram("pentagram", app::Form1::Design(), [decimalSeparator](platform::Form& form) {
        return std::make_unique<app::Form1>(form, decimalSeparator);
    });
}
