#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/desktop/compositor_session.h"

namespace desktop {

// KDE's compositor, headless (kwin_wayland's virtual output), with a session
// bus of its own that its scripting interface answers on: the tests ask it
// of its windows, and have it focus and close them, through small scripts
// that print what they find. Compositing is kwin's QPainter one, the
// cheapest where there is no GPU.
class KwinSession final : public CompositorSession {
public:
    // The output at this size, in logical pixels, and scale; returns once
    // kwin answers on its bus.
    KwinSession(int width, int height, double scale);
    ~KwinSession() override;
    KwinSession(const KwinSession&) = delete;
    KwinSession& operator=(const KwinSession&) = delete;

    [[nodiscard]] std::string Reachable(const std::string& program) const override;
    std::unique_ptr<Process> Start(const std::vector<std::string>& argv,
                                   const Process::Environment& extra = {}) override;
    [[nodiscard]] std::optional<Toplevel> FindToplevel(const std::string& appId, int pid = 0) override;
    // kwin gives screenshots only to whom it trusts: none here.
    [[nodiscard]] std::optional<Picture> Capture(const Rect& /*area*/) override { return std::nullopt; }
    void Restore(int pid) override;
    void Focus(const std::string& appId) override;
    void Close(int pid) override;
    void Click(int x, int y) override;
    void Tap(int x, int y) override;
    void Hide(int pid) override;
    void Unhide(int pid) override;
    void Kill() override;

private:
    [[nodiscard]] Process::Environment Environment() const;
    // A click or a tap through kwin's fake input.
    void FakeInput(const std::string& what, int x, int y);
    // Runs the script in kwin; the lines it printed with Say().
    std::vector<std::string> Script(const std::string& body);

    std::string user_;
    std::filesystem::path runtime_;
    std::string bus_;
    int scripts_ = 0;
    std::unique_ptr<Process> sessionBus_;
    std::unique_ptr<Process> kwin_;
};

}  // namespace desktop
