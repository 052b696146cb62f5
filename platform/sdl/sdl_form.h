#pragma once

// The form as a real window on SDL2, under X11: the desktop entry point,
// the window and its events, and what SDL leaves to the program on X.

#include <SDL.h>

#include <vector>

#include "platform/image_form.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/title_throttle.h"

namespace platform::sdl {

// The form as a real window on SDL: at every DoEvents it copies what changed
// in the persistent image to the window surface and shows it.
class SdlForm final : public ImageForm {
public:
    explicit SdlForm(const FormDesign& design);

    void Show() override;
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void Caption(std::string_view text) override;
    void DoEvents() override;
    void WaitEvents() override;

private:
    void ApplyWindowRequests();
    void Present();
    [[nodiscard]] bool SameLayout(const SDL_Surface& target) const;
    std::vector<SDL_Rect> CopyDirectly(SDL_Surface& target, const std::vector<PixelRect>& changes, bool fresh);
    std::vector<SDL_Rect> Blit(SDL_Surface& target, const std::vector<PixelRect>& changes);
    void SendTitle();
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void FollowClientArea();

    VideoSubsystem video_;
    WindowHandle window_;
    TitleThrottle title_;

    bool showRequested_ = false;
    bool stateRequested_ = false;
    bool mapped_ = false;
    bool minimised_ = false;
    bool buttonDown_ = false;
    // The window surface last drawn on, and whether the display lost it since.
    SDL_Surface* shownSurface_ = nullptr;
    bool exposed_ = true;
};

}  // namespace platform::sdl
