#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

namespace kelvane::drops {

// The name a browser's cache gives the file at url: the last segment of its path, without
// the query, escapes left as they are ("my%20cat.jpeg"), so the program's naming rules see
// what they see in a cached file. Empty when the path ends in "/".
QString nameFromUrl(const QUrl& url);

// A name that can be created in the drop cache as it is: no "/", no leading dot, no control
// characters, at most 200 bytes of UTF-8 (the extension kept where it can be). "image" when
// nothing of the name is left.
QString safeName(const QString& raw);

// The image type of a file by its first bytes: "jpg", "png", "gif", "webp", "avif", "bmp",
// "tif", "ico"; empty when it is no image (a page, text, nothing at all), whatever a server
// says it sent.
QString imageType(const QByteArray& head);

// The name with ".<type>" added when it does not already end in an image extension.
QString withImageExtension(const QString& name, const QString& type);

} // namespace kelvane::drops
