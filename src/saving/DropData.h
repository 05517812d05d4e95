#pragma once

#include <QString>

class QMimeData;

namespace kelvane {

// The first local file of a drag's file list, or an empty string when the drag carries no
// file list (text, a web link, nothing). Only the first entry is looked at, however many
// files the drag holds.
QString firstDroppedFile(const QMimeData* data);

} // namespace kelvane
