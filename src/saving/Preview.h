#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace kelvane {

// Decodes an image file for a picture of the given size (in device pixels): no more pixels
// than twice the box are kept, so a huge picture neither fills the memory nor fails for its
// size. A null image when the file cannot be decoded.
QImage decodePreview(const QString& path, const QSize& box);

// A file whose first bytes name a kind of picture this program has no decoder for (JPEG XL,
// JPEG 2000, HEIF other than AVIF): it is a picture all the same, only not shown.
bool pictureWithoutDecoder(const QString& path);

} // namespace kelvane
