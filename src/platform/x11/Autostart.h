#pragma once

#include <QByteArray>
#include <QString>

namespace kelvane::autostart {

// The per-user autostart entry of the desktop session: $XDG_CONFIG_HOME/autostart/kelvane.desktop.
QString entryPath();
// The entry that starts program with one argument, as the desktop-entry rules want it quoted.
QByteArray entryFor(const QString& program, const QString& argument);
// Writes the entry for the running program; false when it could not be written.
bool write(const QString& argument);
// Deletes the entry; a missing entry is no failure.
bool remove();

} // namespace kelvane::autostart
