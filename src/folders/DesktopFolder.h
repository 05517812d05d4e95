#pragma once

#include <QString>

namespace kelvane {

// The path of a new folder named `name` in the Desktop folder, or an empty string when the
// name cannot name a folder there. A name is taken as typed (not trimmed); "/" in it names
// a folder inside a folder that must exist already. Refused: an empty name, a NUL character,
// a line break, and any part that is empty, "." or ".." (a leading, trailing or doubled "/",
// or a way out of the Desktop). Anything else the file system accepts is allowed ("?" and "*"
// included).
QString desktopFolderPath(const QString& desktop, const QString& name);

} // namespace kelvane
