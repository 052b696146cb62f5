// Runs the program's Form1 on the offscreen form for a number of frames and
// writes the picture as it then stands, or the titles the frames set.

#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "app/form1.h"
#include "platform/form/form_forwarder.h"
#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"
#include "platform/process/regional_settings.h"
#include "platform/run_time_error.h"
#include "tools/picture_digest.h"
#include "tools/png_encoding.h"
#include "tools/snapshot_options.h"
#include "tools/whole_file.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;
constexpr const char* kProgram = "pentagram-snapshot";

// Each frame's picture digest and title, once the frame is drawn: at the
// DoEvents that begins the next.
class FrameDigests final : public platform::FormForwarder {
public:
    explicit FrameDigests(platform::OffscreenForm& form) : FormForwarder(form), form_(form) {}

    void DoEvents() override {
        if (frameDrawn_) {
            std::cout << std::hex << tools::PictureDigest(form_.Image()) << std::dec << ' '
                      << form_.Properties().Caption() << '\n';
        }
        frameDrawn_ = true;
        FormForwarder::DoEvents();
    }

private:
    platform::OffscreenForm& form_;
    bool frameDrawn_ = false;
};

int Run(const tools::SnapshotOptions& options) {
    platform::OffscreenForm form(app::Form1::Design(), options.width, options.height);
    FrameDigests digests(form);
    platform::RuntimeForm& runs = options.digests ? static_cast<platform::RuntimeForm&>(digests) : form;
    app::Form1 form1(runs, platform::UserDecimalSeparator());
    // The frames run at DoEvents calls 1 to N; the close at N + 1 ends them.
    form.At(options.frames + 1, {platform::ScriptedEvent::Kind::Close});
    if (options.captions) {
        form.OnCaption([](std::string_view caption) { std::cout << caption << '\n'; });
    }
    if (const auto error = platform::RunForm(runs, form1)) {
        std::cerr << platform::RunTimeErrorLine(kProgram, *error) << '\n';
        return kFailureStatus;
    }
    std::cout.flush();
    if (options.out) {
        tools::WriteWholeFile(*options.out, tools::EncodePng(form.Image()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = tools::ParseSnapshotOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << kProgram << ": " << *problem << "; " << tools::kSnapshotUsage << '\n';
        return kUsageStatus;
    }
    try {
        return Run(std::get<tools::SnapshotOptions>(parsed));
    } catch (const std::exception& error) {
        std::cerr << kProgram << ": " << error.what() << '\n';
        return kFailureStatus;
    }
}
