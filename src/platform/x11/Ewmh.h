#pragma once

#include <QString>

#include <QPoint>
#include <cstdint>
#include <optional>

class QWidget;
struct xcb_connection_t;

namespace kelvane::ewmh {

// The program's connection to the X server; null on another platform.
xcb_connection_t* connection();
// An atom by name, asked of the server once.
uint32_t atom(xcb_connection_t* c, const char* name);

// Adds or removes one _NET_WM_STATE atom (e.g. "_NET_WM_STATE_ABOVE") of a top-level window:
// by a client message to the root window while the window is mapped, by writing the property
// itself before it is mapped. False when there is no X connection.
bool setWmState(QWidget* window, const char* stateAtom, bool on);

// The top-left corner of a window's drawing area on the screen, asked of the X server;
// nothing when there is no connection or the window has no native window yet.
std::optional<QPoint> windowPosition(QWidget* window);

// Sets a top-level window's _NET_WM_WINDOW_TYPE to one type (e.g.
// "_NET_WM_WINDOW_TYPE_TOOLBAR"); the window manager reads it when the window is mapped.
bool setWindowType(QWidget* window, const char* typeAtom);

// The running window manager's name (_NET_WM_NAME of its _NET_SUPPORTING_WM_CHECK window);
// empty when there is none or no X connection.
QString windowManagerName();

// Asks the window manager to enter (or leave) its "showing the desktop" mode.
bool setShowingDesktop(bool on);

// Asks the window manager to activate a mapped top-level window as a pager or task bar does
// for the user: out of the iconic state, and out of "showing the desktop" for this window.
bool activateWindow(QWidget* window);

} // namespace kelvane::ewmh
