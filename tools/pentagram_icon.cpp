// Draws the program's icon for Windows from its own figure: the frame the
// README's picture shows, at the sides Windows asks icons for, as one .ico.
//
//   pentagram-icon FILE.ico

#include <iostream>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"
#include "tools/ico_file.h"
#include "tools/png_encoding.h"
#include "tools/whole_file.h"

namespace {

constexpr std::uint64_t kFrame = 54;

std::string FigurePng(int side) {
    platform::OffscreenForm form(app::Form1::Design(), side, side);
    app::Form1 form1(form, ".");
    form.At(kFrame + 1, {platform::ScriptedEvent::Kind::Close});
    if (const auto error = platform::RunForm(form, form1)) {
        throw std::runtime_error(*error);
    }
    return tools::EncodePng(form.Image());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pentagram-icon FILE.ico\n";
        return 2;
    }
    try {
        std::vector<tools::IconPicture> pictures;
        for (const int side : {16, 24, 32, 48, 64, 256}) {
            pictures.push_back({side, FigurePng(side)});
        }
        tools::WriteWholeFile(argv[1], tools::IcoFile(pictures));
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "pentagram-icon: " << error.what() << '\n';
        return 1;
    }
}
