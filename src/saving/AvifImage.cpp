#include "saving/AvifImage.h"

#include <QFile>
#include <algorithm>
#include <avif/avif.h>
#include <memory>

namespace kelvane {
namespace {

// The most pixels a picture may claim (a 16k square); a hostile file may claim billions.
constexpr uint32_t kMostPixels = 16384u * 16384u;
// The most bytes read: the picture's file, whole.
constexpr qint64 kMostBytes = qint64(512) << 20;

struct DecoderFree {
    void operator()(avifDecoder* d) const { avifDecoderDestroy(d); }
};

} // namespace

QList<QByteArray> isoBrands(const QByteArray& head) {
    if (head.size() < 16 || head.mid(4, 4) != "ftyp")
        return {};
    const auto* size = reinterpret_cast<const uchar*>(head.constData());
    const qsizetype boxEnd = std::min<qsizetype>(
        head.size(), qsizetype(size[0]) << 24 | size[1] << 16 | size[2] << 8 | size[3]);
    QList<QByteArray> brands{head.mid(8, 4)};
    for (qsizetype at = 16; at + 4 <= boxEnd; at += 4) // after the minor version
        brands << head.mid(at, 4);
    return brands;
}

bool looksLikeAvif(const QByteArray& head) {
    const QList<QByteArray> brands = isoBrands(head);
    return brands.contains("avif") || brands.contains("avis");
}

QImage decodeAvif(const QString& path, const QSize& most) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMostBytes)
        return {};
    const QByteArray bytes = file.readAll();
    std::unique_ptr<avifDecoder, DecoderFree> decoder(avifDecoderCreate());
    if (!decoder)
        return {};
    decoder->imageSizeLimit = kMostPixels;
    decoder->maxThreads = 1;
    if (avifDecoderSetIOMemory(decoder.get(), reinterpret_cast<const uint8_t*>(bytes.constData()),
                               size_t(bytes.size())) != AVIF_RESULT_OK ||
        avifDecoderParse(decoder.get()) != AVIF_RESULT_OK ||
        avifDecoderNextImage(decoder.get()) != AVIF_RESULT_OK)
        return {};
    const avifImage* picture = decoder->image;
    QImage image(int(picture->width), int(picture->height), QImage::Format_RGBA8888);
    if (image.isNull())
        return {};
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, picture);
    rgb.format = AVIF_RGB_FORMAT_RGBA;
    rgb.depth = 8;
    rgb.pixels = image.bits();
    rgb.rowBytes = uint32_t(image.bytesPerLine());
    if (avifImageYUVToRGB(picture, &rgb) != AVIF_RESULT_OK)
        return {};
    if (!most.isEmpty() && (image.width() > most.width() || image.height() > most.height()))
        return image.scaled(most, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace kelvane
