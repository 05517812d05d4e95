#include "saving/Preview.h"

#include "saving/AvifImage.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>

namespace kelvane {
namespace {

// Decoders that cannot scale while reading hold the whole picture for a moment: allow a
// picture as large as viewers open (a 200 MB bitmap), where Qt's default refuses anything
// over 128 MiB, but not the gigabytes a hostile file may claim.
constexpr int kDecodeLimitMiB = 1024;

QByteArray firstBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
}

} // namespace

QImage decodePreview(const QString& path, const QSize& box) {
    const QSize most = box * 2;
    // Qt has no AVIF reader here: libavif decodes it.
    if (looksLikeAvif(firstBytes(path)) && !QImageReader::supportedImageFormats().contains("avif"))
        return decodeAvif(path, most);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kDecodeLimitMiB);
    const QSize full = reader.size();
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

bool pictureWithoutDecoder(const QString& path) {
    const QByteArray head = firstBytes(path);
    if (head.startsWith("\xff\x0a") || head.startsWith(QByteArray("\0\0\0\x0cJXL \r\n", 10)))
        return !QImageReader::supportedImageFormats().contains("jxl");
    if (head.startsWith(QByteArray("\0\0\0\x0cjP  \r\n", 10)) ||
        head.startsWith("\xff\x4f\xff\x51"))
        return !QImageReader::supportedImageFormats().contains("jp2");
    if (looksLikeAvif(head))
        return false; // decoded by libavif
    const QList<QByteArray> brands = isoBrands(head);
    const bool heif = std::any_of(brands.begin(), brands.end(), [](const QByteArray& brand) {
        return brand == "heic" || brand == "heix" || brand == "mif1" || brand == "msf1";
    });
    return heif && !QImageReader::supportedImageFormats().contains("heic");
}

} // namespace kelvane
