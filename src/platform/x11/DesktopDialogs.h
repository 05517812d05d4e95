#pragma once

#include "platform/Platform.h"

#include <QString>

class QWidget;

// The desktop's own dialogs and its opener, as the X11 layer uses them.
namespace kelvane::dialogs {

Platform::Answer messageBox(QWidget* owner, const QString& text, const QString& title,
                            Platform::Buttons buttons, Platform::Icon icon);
// Qt's own save dialog, which asks before a file is replaced; empty when cancelled.
QString saveFile(QWidget* owner, const QString& filter, const QString& title,
                 const QString& startFolder);
// Qt's own folder dialog, its name field showing the selected folder's whole path.
QString browseForFolder(QWidget* owner, const QString& title, const QString& startFolder);
// Hands one argument to xdg-open; false when it cannot start or reports failure.
bool openWithDesktop(const QString& argument);

} // namespace kelvane::dialogs
