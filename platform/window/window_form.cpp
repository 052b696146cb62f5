#include "platform/window/window_form.h"

#include <utility>

#include "platform/form/form_properties.h"
#include "platform/image/tile_copy.h"

namespace platform {
namespace {

// Resting with nothing to show, the form still looks round this often.
constexpr auto kLongestRest = std::chrono::milliseconds(1000);
// A display shows a picture within a refresh or two; one that has not
// answered in this long shows nothing of the window.
constexpr auto kSilence = std::chrono::milliseconds(500);
// A window system that runs on the program's thread has a turn at least
// this often, so that input is handled within a frame of a 60 Hz display.
constexpr auto kTurnBudget = std::chrono::milliseconds(16);
// A refresh that a turn did not find yet is looked for again this soon.
constexpr auto kRefreshRetry = std::chrono::milliseconds(1);

}  // namespace

WindowForm::WindowForm(const FormDesign& design, std::unique_ptr<NativeWindow> window,
                       std::unique_ptr<CloseSignals> signals, Now now)
    : ImageForm(design, window->Format()),
      window_(std::move(window)),
      signals_(std::move(signals)),
      now_(std::move(now)),
      title_(design.Caption) {
    window_->Listen(*this, signals_ ? signals_->Descriptor() : -1);
    // The normal client area is given in twips: as many pixels as the
    // window's own measure makes of them.
    const double dotsPerInch = window_->DotsPerInch();
    window_->SizeNormally(
        {TwipsToPixels(design.ClientWidthTwips, dotsPerInch), TwipsToPixels(design.ClientHeightTwips, dotsPerInch)});
    window_->SetTitle(title_);
    const PixelSize size = window_->ClientSize();
    ResizeImage(size.width, size.height);
    // The first turn is a budget after the image is made: the program's
    // start is on the way to its first picture.
    lastTurn_ = now_();
}

void WindowForm::WindowState(int state) {
    MutableProperties().WindowState(state);
    stateRequested_ = true;
}

// The client area as the last DoEvents found it: one size for a whole
// frame, even where the display's silence passes its limit mid-frame.
float WindowForm::ScaleWidth() const { return inSight_ ? static_cast<float>(Image().Width()) : 0.0F; }

float WindowForm::ScaleHeight() const { return inSight_ ? static_cast<float>(Image().Height()) : 0.0F; }

void WindowForm::DoEvents() {
    ApplyRequests();
    FollowPace();
    Present();
    GiveTurnWhenDue();
    window_->Dispatch();
    if (signals_ && signals_->Arrived()) {
        closePending_ = true;
    }
    FollowPace();
    RaisePending();
}

void WindowForm::WaitEvents() {
    window_->Wait(kLongestRest);
    DoEvents();
}

// Seen, and shown by a display that still answers.
bool WindowForm::InSight() const { return window_->Visible() && !(unanswered_ && now_() - *unanswered_ >= kSilence); }

// Show, and every WindowState after it; the image follows what they make
// of the client area.
void WindowForm::ApplyRequests() {
    if (!showRequested_ || (shown_ && !stateRequested_)) {
        return;
    }
    window_->Show(Properties().WindowState());
    shown_ = true;
    stateRequested_ = false;
    resized_ = true;
    FollowWindow();
}

// Shows the last frame when the display can take a picture: copies what
// differs from what the window holds into its memory, and sends that. The
// first picture is the first frame the program drew, with its title: until
// then the window shows its own black.
void WindowForm::Present() {
    if (!InSight() || Image().Pixels() == nullptr || !Drawn()) {
        SendTitle(false);
        return;
    }
    if (!window_->ReadyForPicture()) {
        return;
    }
    PersistentImage& image = MutableImage();
    const PixelRows rows = image.Rows();
    const WindowPixels pixels = window_->Pixels(rows);
    if (pixels.rows.data == nullptr) {
        SendTitle(false);
        return;
    }
    // A window that shows the image's own rows needs nothing copied, and is
    // sent what changed.
    const bool ownRows = pixels.rows.data == rows.data;
    const std::vector<PixelRect> changes = image.TakeChanges();
    std::vector<PixelRect> picture;
    if (sendWhole_ || pixels.fresh) {
        picture = {{0, 0, image.Width(), image.Height()}};
        if (!ownRows) {
            CopyRects(rows, pixels.rows, picture);
        }
        sendWhole_ = false;
    } else if (ownRows) {
        picture = changes;
    } else {
        picture = CopyDifferingTiles(rows, pixels.rows, changes, pixels.tileSize);
    }
    if (picture.empty()) {
        SendTitle(false);
        return;
    }
    SendTitle(true);
    // Each rectangle is a request: a steep stroke's tiles go as one.
    window_->Send(JoinColumns(picture));
    unanswered_ = now_();
    titleAlone_ = false;
}

// A changed title goes with a picture, unless one went since the display
// last answered. One that goes on its own is the last until a picture goes.
void WindowForm::SendTitle(bool withPicture) {
    const std::string& wanted = Properties().Caption();
    if (wanted == title_ || (withPicture ? titleSinceAnswer_ : titleAlone_)) {
        return;
    }
    window_->SetTitle(wanted);
    title_ = wanted;
    titleSinceAnswer_ = true;
    titleAlone_ = !withPicture;
}

// A turn when the picture sent is due to be shown (the window system shows
// it in its turn) or the budget has passed; between them the frames run on.
// Before the display has told a refresh, a picture is due at once.
void WindowForm::GiveTurnWhenDue() {
    const Clock::time_point now = now_();
    Clock::time_point refresh = refreshes_.Next().value_or(lastTurn_);
    if (lastTurn_ >= refresh) {
        refresh = lastTurn_ + kRefreshRetry;
    }
    if (now - lastTurn_ >= kTurnBudget || (unanswered_ && now >= refresh)) {
        window_->GiveTurn();
        lastTurn_ = now_();
    }
}

void WindowForm::FollowPace() {
    if (unanswered_ && window_->ReadyForPicture()) {
        unanswered_.reset();
        titleSinceAnswer_ = false;
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

// Judged against the client area the window has as it tells of the pointer.
void WindowForm::Pointed(const PointerEvent& event) {
    clickPending_ = clicks_.Take(event, window_->ClientSize()) || clickPending_;
}

// The image follows the client area as soon as the window says it changed,
// also before the window can be seen, so that a window coming up maximised
// has its image made by the time it is shown. An empty client area is
// followed only in sight: a minimised window may have none, and its
// picture is kept for its return. A window that comes back into sight
// holds nothing of ours.
void WindowForm::FollowWindow() {
    const bool inSight = InSight();
    if (inSight && !inSight_) {
        sendWhole_ = true;
        resized_ = true;
    }
    inSight_ = inSight;
    if (!resized_) {
        return;
    }
    const PixelSize size = window_->ClientSize();
    if (!inSight && (size.width <= 0 || size.height <= 0)) {
        return;
    }
    resized_ = false;
    if (size != PixelSize{Image().Width(), Image().Height()}) {
        ResizeImage(size.width, size.height);
        sendWhole_ = true;
    }
}

}  // namespace platform
