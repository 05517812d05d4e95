#pragma once

#include "core/FileTests.h"

#include <QString>

class QWidget;

namespace kelvane {

class Platform;

// The text after the last "/" at position 2 or later (1-based); without one, the whole string.
QString GetFileName(const QString& path);

// The clean file name (no folder) for a file taken from a browser cache: bracketed copy
// numbers and the ".jpe", ".jpeg" and ".tiff" forms go; "%20" becomes a blank when
// correctQueryStringNames is on. Case-sensitive; every occurrence is replaced.
QString CorrectFileName(const QString& path, bool correctQueryStringNames);

// The last three characters of name (no dot); shorter names whole.
QString GetExtension(const QString& name);

// Removes a trailing ".jpg", then ".tif", then ".gif", then ".bmp"; the result is written back
// into sFilename and returned.
QString DeleteExtension(QString& sFilename);

// The numbered name for a duplicate: path with " (n)" before its last four characters, n one
// more than the highest existing copy numbered 0 to 999. When no numbered name can be made in
// the path's folder, says so once and returns "".
QString IncrementFileName(const QString& path, Platform& platform, QWidget* owner = nullptr);

// Asks whether an existing file may be replaced; true for Yes.
bool OverwritePrompt(const QString& sFilename, Platform& platform, QWidget* owner = nullptr);

} // namespace kelvane
