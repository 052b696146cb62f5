// Draws the program's icon from its own figure (tools/icon_figure.h) at the
// sides desktops ask icons for: for Windows as one
// .ico, and for the X11 window's _NET_WM_ICON as the property's items (each
// picture's width, height and ARGB pixels), written as C++ to be built in.
//
//   pentagram-icon FILE.ico
//   pentagram-icon --x11 FILE.inc

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ico_file.h"
#include "tools/icon_figure.h"
#include "tools/png_encoding.h"
#include "tools/whole_file.h"

namespace {

std::string IcoIcon() {
    std::vector<tools::IconPicture> pictures;
    for (const int side : {16, 24, 32, 48, 64, 256}) {
        const tools::IconFigure figure(side);
        pictures.push_back({side, tools::EncodePng(figure.Image())});
    }
    return tools::IcoFile(pictures);
}

// The figure is drawn on black, which the icon keeps: every pixel opaque.
std::string X11Icon() {
    std::ostringstream items;
    for (const int side : {16, 24, 32, 48, 64, 128}) {
        const tools::IconFigure figure(side);
        const platform::PixelRows rows = figure.Image().Rows();
        items << side << ", " << side << ",\n";
        for (int y = 0; y < rows.height; ++y) {
            for (int x = 0; x < rows.width; ++x) {
                std::array<char, 16> pixel{};
                std::snprintf(pixel.data(), pixel.size(), "0x%08x,", 0xFF000000U | (rows.Row(y)[x] & 0xFFFFFFU));
                items << pixel.data() << (x + 1 == rows.width ? "\n" : " ");
            }
        }
    }
    return items.str();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const bool x11 = arguments.size() == 2 && arguments[0] == "--x11";
    if (arguments.size() != 1 && !x11) {
        std::cerr << "usage: pentagram-icon FILE.ico | pentagram-icon --x11 FILE.inc\n";
        return 2;
    }
    try {
        tools::WriteWholeFile(std::string(arguments.back()), x11 ? X11Icon() : IcoIcon());
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "pentagram-icon: " << error.what() << '\n';
        return 1;
    }
}
