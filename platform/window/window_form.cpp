#include "platform/window/window_form.h"

#include <utility>

#include "platform/image/tile_copy.h"

namespace platform {
namespace {

// Resting with nothing to show, the form still looks round this often.
constexpr auto kLongestRest = std::chrono::milliseconds(1000);

}  // namespace

WindowForm::WindowForm(const FormDesign& design, std::unique_ptr<NativeWindow> window, Now now)
    : ImageForm(design),
      window_(std::move(window)),
      now_(std::move(now)),
      title_(design.Caption, TitleThrottle::IntervalForRefreshRate(window_->RefreshRate())) {
    window_->Listen(*this);
    const PixelSize size = window_->ClientSize();
    ResizeImage(size.width, size.height);
}

void WindowForm::WindowState(int state) {
    MutableProperties().WindowState(state);
    stateRequested_ = true;
}

float WindowForm::ScaleWidth() const { return window_->Visible() ? static_cast<float>(Image().Width()) : 0.0F; }

float WindowForm::ScaleHeight() const { return window_->Visible() ? static_cast<float>(Image().Height()) : 0.0F; }

void WindowForm::DoEvents() {
    ApplyRequests();
    Present();
    SendTitle();
    window_->Dispatch();
    RaisePending();
}

void WindowForm::WaitEvents() {
    window_->Wait(kLongestRest);
    DoEvents();
}

// Show, and every WindowState after it, once the window can take them; the
// image follows what they make of the client area.
void WindowForm::ApplyRequests() {
    if (!showRequested_ || (shown_ && !stateRequested_)) {
        return;
    }
    if (!window_->Show(Properties().WindowState())) {
        return;
    }
    shown_ = true;
    stateRequested_ = false;
    resized_ = true;
    FollowWindow();
}

// Shows the last frame: copies what differs from what the window holds into
// its memory, and sends that with whatever it could not take before.
void WindowForm::Present() {
    if (!window_->Visible() || Image().Pixels() == nullptr) {
        return;
    }
    const WindowPixels pixels = window_->Pixels(Image().Width(), Image().Height());
    if (pixels.rows.data == nullptr) {
        return;
    }
    PersistentImage& image = MutableImage();
    const std::vector<PixelRect> changes = image.TakeChanges();
    if (sendWhole_ || pixels.fresh) {
        unsent_ = {{0, 0, image.Width(), image.Height()}};
        CopyRects(image.Rows(), pixels.rows, unsent_);
        sendWhole_ = false;
    } else {
        const std::vector<PixelRect> differing =
            CopyDifferingTiles(image.Rows(), pixels.rows, changes, pixels.tileSize);
        unsent_.insert(unsent_.end(), differing.begin(), differing.end());
    }
    // Each rectangle is a request: a steep stroke's tiles go as one.
    if (!unsent_.empty() && window_->Send(JoinColumns(unsent_))) {
        unsent_.clear();
    }
}

// Only a changed title goes to the window, and not more often than its
// display refreshes.
void WindowForm::SendTitle() {
    if (const auto title = title_.Due(Properties().Caption(), now_())) {
        window_->SetTitle(*title);
    }
}

void WindowForm::RaisePending() {
    FollowWindow();
    if (std::exchange(closePending_, false)) {
        RaiseUnload(Events());
    }
    if (std::exchange(clickPending_, false)) {
        Events().Click();
    }
}

// A click is a press and a release inside the client area.
void WindowForm::Released(bool inside) {
    clickPending_ = clickPending_ || (buttonDown_ && inside);
    buttonDown_ = false;
}

// The image follows the client area as soon as the window says it changed,
// also before the window can be seen, so that a window coming up maximised
// has its image made by the time it is shown. An empty client area is
// followed only in sight: a minimised window may have none, and its
// picture is kept for its return. A window that comes back into sight
// holds nothing of ours.
void WindowForm::FollowWindow() {
    const bool visible = window_->Visible();
    if (visible && !visible_) {
        sendWhole_ = true;
        resized_ = true;
    }
    visible_ = visible;
    if (!resized_) {
        return;
    }
    const PixelSize size = window_->ClientSize();
    if (!visible && (size.width <= 0 || size.height <= 0)) {
        return;
    }
    resized_ = false;
    if (size != PixelSize{Image().Width(), Image().Height()}) {
        ResizeImage(size.width, size.height);
        sendWhole_ = true;
    }
}

}  // namespace platform
