#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class Platform;

// `ShowSaveDialog`: the save dialog with one type entry (filter, "*.jpg"), a title and a start
// folder; the chosen path with surrounding blanks removed, or empty when cancelled.
QString ShowSaveDialog(Platform& platform, QWidget* owner, const QString& filter,
                       const QString& title, const QString& initialFolder);

// The extension a manual save keeps: that of the source's corrected name ("jpg").
QString manualSaveExtension(const QString& source, bool correctQueryStringNames);

// The chosen path made to end in the source's extension: a typed ".jpg", ".tif", ".gif" or
// ".bmp" gives way to it; any other typed extension stays in front of it ("cat.png.jpg").
QString manualSavePath(const QString& chosen, const QString& extension);

} // namespace kelvane
