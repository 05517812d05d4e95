// Previews of saved pictures, whatever the file holds: decoded into at most twice the box,
// or not at all. AVIF files go to libavif, the rest to Qt's readers.

#include "Fuzz.h"
#include "saving/AvifImage.h"
#include "saving/Preview.h"

using namespace kelvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString file = fuzz::file(QStringLiteral("picture"), fuzz::bytes(data, size));
    const QImage image = decodePreview(file, QSize(64, 48));
    FUZZ_CHECK(image.isNull() || (image.width() <= 128 && image.height() <= 96));
    // A picture without a decoder here is never one that was decoded.
    FUZZ_CHECK(image.isNull() || !pictureWithoutDecoder(file));
    return 0;
}
