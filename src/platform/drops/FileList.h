#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

namespace kelvane::drops {

// The first entry of a text/uri-list (one URI a line, "#" lines are comments), as written.
QByteArray firstUri(const QByteArray& uriList);

// The first local file of a drag's file list, or an empty string when the drag carries no
// file list (text, a web link, nothing) or a path no file can have (one holding a NUL). Only the
// first entry is looked at, however many files the drag holds.
QString firstLocalFile(const QByteArray& uriList);
QString firstLocalFile(const QMimeData* data);

} // namespace kelvane::drops
