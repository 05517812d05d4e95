#pragma once

#include <QString>

// What the program asks of the desktop over the session bus (D-Bus).
namespace kelvane::desktopbus {

// A notification through org.freedesktop.Notifications, not waited for: nothing happens where
// no notification server runs, or no session bus.
void notify(const QString& summary, const QString& body);

// True when a StatusNotifierWatcher with a host runs on the session bus: Qt then shows a tray
// icon as a StatusNotifierItem, which the host (a panel) draws and reports clicks on.
bool statusNotifierHost();

} // namespace kelvane::desktopbus
