#include "saving/Preview.h"

#include <QImageReader>

namespace kelvane {
namespace {

// Decoders that cannot scale while reading hold the whole picture for a moment: allow a
// picture as large as viewers open (a 200 MB bitmap), where Qt's default refuses anything
// over 128 MiB, but not the gigabytes a hostile file may claim.
constexpr int kDecodeLimitMiB = 1024;

} // namespace

QImage decodePreview(const QString& path, const QSize& box) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kDecodeLimitMiB);
    const QSize full = reader.size();
    const QSize most = box * 2;
    if (full.isValid() && !most.isEmpty() &&
        (full.width() > most.width() || full.height() > most.height()))
        reader.setScaledSize(full.scaled(most, Qt::KeepAspectRatio));
    QImage image = reader.read();
    // Readers that ignore the scaled size hand back the whole picture: keep only what is shown.
    if (!image.isNull() && !most.isEmpty() &&
        (image.width() > most.width() || image.height() > most.height()))
        image = image.scaled(most, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace kelvane
