// Previews of saved pictures, whatever the file holds: decoded into at most twice the box,
// or not at all. AVIF files go to libavif (tried on every input), the rest to Qt's readers.

#include "Fuzz.h"
#include "saving/AvifImage.h"
#include "saving/Preview.h"

using namespace kelvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString file = fuzz::file(QStringLiteral("picture"), fuzz::bytes(data, size));
    for (const QImage& image :
         {decodePreview(file, QSize(64, 48)), decodeAvif(file, QSize(128, 96))})
        FUZZ_CHECK(image.isNull() || (image.width() <= 128 && image.height() <= 96));
    pictureWithoutDecoder(file);
    return 0;
}
