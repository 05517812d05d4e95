#pragma once

#include <QByteArray>
#include <QString>

class QUrl;

namespace kelvane::drops {

// The name a browser's cache gives the file at url: the last segment of its path, without
// the query, its escapes decoded (see decodeEscapes). Empty when the path ends in "/".
QString nameFromUrl(const QUrl& url);
// A name with its %-escapes decoded as UTF-8 ("caf%C3%A9.jpg" is "café.jpg"), except those
// of a space, which the program's naming rules decide ("my%20cat.jpeg" stays), of "/" and of
// control characters; escapes that are no UTF-8 stay as they are.
QString decodeEscapes(const QString& segment);

// A name that can be created in the drop cache as it is: no "/", no leading dot, no control
// characters, at most 200 bytes of UTF-8 (the extension kept where it can be). "image" when
// nothing of the name is left.
QString safeName(const QString& raw);

// The image type of a file by its first kTypeHeadBytes bytes: "jpg", "png", "gif", "webp",
// "avif", "bmp", "tif", "ico", "svg"; empty when it is no image (a page, text, nothing at all),
// whatever a server says it sent.
QString imageType(const QByteArray& head);
constexpr qsizetype kTypeHeadBytes = 512;

// The name with the extension its type calls for: ".<type>" added when it has no picture's
// extension, put in place of another type's ("photo.jpg" holding AVIF is "photo.avif"); one
// of the type's own stays ("cat.jpeg" holding JPEG).
QString withImageExtension(const QString& name, const QString& type);

} // namespace kelvane::drops
