#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/desktop/picture.h"

// A client connection to the desktop under test that looks at windows,
// clicks and asks the window manager for things as a person's desktop would.
namespace desktop {

class XClient {
public:
    explicit XClient(const std::string& display, const std::string& authorityFile = "");
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Lets go of the connection without closing it, for when the server is
    // about to go: closing a dead connection ends the process.
    void Abandon() { display_ = nullptr; }

    // The managed client window whose title starts with the prefix.
    std::optional<::Window> FindWindow(const std::string& titlePrefix);
    // The same among the root's children, where no window manager runs.
    std::optional<::Window> FindTopLevel(const std::string& titlePrefix);
    [[nodiscard]] std::string Title(::Window window);
    // The ICCCM name (WM_NAME), in UTF-8 as Xlib reads it whatever its encoding.
    [[nodiscard]] std::string IcccmName(::Window window);
    // Every title the window is given over the period, as the window manager
    // hears of them.
    [[nodiscard]] std::vector<std::string> WatchTitle(::Window window, std::chrono::milliseconds period);
    // The managed windows and their titles, for failure messages.
    [[nodiscard]] std::string DescribeClients();
    // The client area, in root coordinates.
    [[nodiscard]] std::optional<Rect> ClientArea(::Window window);
    // The window with the window manager's frame around it, in root coordinates.
    [[nodiscard]] std::optional<Rect> Frame(::Window window);
    // The part of the screen the window manager gives to windows.
    [[nodiscard]] Rect WorkArea();
    // A text property of the root window or of a window, empty when it has none.
    [[nodiscard]] std::string RootText(const char* property);
    [[nodiscard]] std::string Text(::Window window, const char* property);
    // A window's property of 32-bit numbers.
    [[nodiscard]] std::vector<long> Cardinals(::Window window, const char* property);
    [[nodiscard]] bool HasState(::Window window, const char* state);
    [[nodiscard]] bool Viewable(::Window window);
    // Minimised, however the window manager shows it: iconic, hidden or unmapped.
    [[nodiscard]] bool Minimised(::Window window);

    void Click(int x, int y);
    // Asks the window manager to close the window, as its close button does.
    void RequestClose(::Window window);
    // Asks the window itself to close, as a window manager without EWMH does.
    void SendDeleteWindow(::Window window);
    // Pings the window as EWMH window managers do, to tell a hung program
    // from a busy one; true once it answers.
    [[nodiscard]] bool AnswersPing(::Window window);
    void SetMaximised(::Window window, bool maximised);
    void Minimise(::Window window);
    void Resize(::Window window, int width, int height);
    void Move(::Window window, int x, int y);
    void Activate(::Window window);
    // Maps the window: for a window manager without EWMH, how a minimised
    // window is brought back.
    void Map(::Window window);
    // Whether the window has the keyboard focus, or the window manager says
    // it is the active one.
    [[nodiscard]] bool Focused(::Window window);
    // A plain window of the test's own, placed at the rectangle; it goes
    // with DestroyWindow or with this connection.
    ::Window CreateWindow(const Rect& where, const char* title);
    void DestroyWindow(::Window window);
    // Holds the redirection of the root's children, as a window manager
    // does, and never answers: a window manager that maps nothing.
    void HoldWindowManagement();
    // Once it holds it, maps every window asked for over the period, as a
    // window manager would that never says so (no WM_STATE); how many maps
    // were asked for.
    int ServeMapRequests(std::chrono::milliseconds period);
    // The window's client area as it is on the screen.
    [[nodiscard]] Picture Capture(::Window window);

private:
    ::Atom Intern(const char* name);
    XEvent ProtocolMessage(::Window window, const char* protocol, long timestamp);
    std::vector<::Window> Clients();
    void FindManaged(::Window under, int depth, std::vector<::Window>& found);
    std::vector<::Window> Children(::Window under);
    std::optional<::Window> FirstTitled(const std::vector<::Window>& windows, const std::string& titlePrefix);
    std::vector<long> Property(::Window window, const char* name, ::Atom type);
    void SendToRoot(::Window window, const char* message, const std::vector<long>& data);

    ::Display* display_ = nullptr;
};

}  // namespace desktop
