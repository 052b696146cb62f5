#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/x11/x11_connection.h"

namespace platform::x11 {

// What the window manager says of itself and of one window, in ICCCM's and
// EWMH's terms, and the requests it takes for that window. Every answer is
// read from the server when asked: window managers change their minds.
class X11WindowManager {
public:
    X11WindowManager(const X11Connection& connection, xcb_window_t window);

    // Tells the window manager what the window is, before it is mapped: its
    // name and class (the desktop entry's), its icon, its process and
    // machine, that it takes the focus, and the protocols it answers: the
    // close and, so that a hung program can be told from a busy one, the ping.
    void Introduce() const;
    void SetTitle(const std::string& title) const;
    void SizeNormally(int width, int height) const;
    // Asks for the window's size; the window manager may give another.
    void Resize(int width, int height) const;
    // Says the window's place is the person's own, so that a window manager
    // that would ask where to put it (twm) does not.
    void KeepPlace() const;
    // Answers a client message to the window: a ping at once; true when it
    // is the window manager's close.
    [[nodiscard]] bool Answer(const xcb_client_message_event_t& message) const;

    // Someone holds the redirection of the root's children: a window
    // manager runs, whether or not it says so in EWMH.
    [[nodiscard]] bool Running() const;
    // A running window manager that says it has a maximised state.
    [[nodiscard]] bool OffersMaximised() const;

    // The window's ICCCM state (WM_STATE); withdrawn where the window
    // manager has set none.
    enum class State { Withdrawn, Normal, Iconic };
    [[nodiscard]] State WindowState() const;
    // The window manager has taken the window on.
    [[nodiscard]] bool Manages() const { return WindowState() != State::Withdrawn; }
    // Hidden by the window manager in EWMH's terms (another desktop, say).
    [[nodiscard]] bool Hidden() const;
    [[nodiscard]] bool Maximised() const;

    void AskMaximised(bool maximised) const;
    // The state the window is to be mapped in, maximised or not, for a
    // window manager to read when it takes the window on (EWMH lets a
    // client set it on a withdrawn window).
    void StartMaximised(bool maximised) const;
    void AskIconic() const;
    // ICCCM's withdrawal: unmapped, and the window manager told so even if
    // it never saw the window mapped.
    void Withdraw() const;

    // The window lies inside the work area.
    [[nodiscard]] bool FitsWorkArea() const;
    // Maximises the window without the window manager's help: its frame is
    // sized to the work area.
    void FillWorkArea() const;

    // The properties whose changes tell of the window's state and of the work area.
    [[nodiscard]] bool TellsOfWindowState(xcb_atom_t property) const {
        return property == atoms_[kWmState] || property == atoms_[kNetWmState];
    }
    [[nodiscard]] bool TellsOfWorkArea(xcb_atom_t property) const { return property == atoms_[kNetWorkarea]; }
    // A root property by which a window manager says what it offers.
    [[nodiscard]] bool TellsOfItself(xcb_atom_t property) const {
        return property == atoms_[kNetSupported] || property == atoms_[kNetSupportingWmCheck];
    }

private:
    // The atoms it is spoken to in, in the order of their names (.cpp).
    enum Atom : std::uint8_t {
        kWmProtocols,
        kWmDeleteWindow,
        kNetWmPing,
        kNetWmPid,
        kNetWmName,
        kUtf8String,
        kNetWmWindowType,
        kNetWmWindowTypeNormal,
        kWmState,
        kWmChangeState,
        kNetWmState,
        kMaximisedVert,
        kMaximisedHorz,
        kHidden,
        kNetSupported,
        kNetSupportingWmCheck,
        kNetWorkarea,
        kNetCurrentDesktop,
        kCompoundText,
        kNetWmIcon,
        kAtoms
    };
    struct Area {
        int x;
        int y;
        int width;
        int height;
    };

    // The part of the screen the window manager leaves to windows, or the
    // whole screen where nobody says.
    [[nodiscard]] Area WorkArea() const;
    [[nodiscard]] std::vector<std::uint32_t> WindowStates() const;

    const X11Connection& connection_;
    xcb_window_t window_;
    std::array<xcb_atom_t, kAtoms> atoms_{};
};

}  // namespace platform::x11
