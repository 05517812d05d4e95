// What a drag offers: the input is a series of format and value pairs (each ended by a
// backslash and any other character, "\\" standing for a backslash) and a flag at its end.

#include "Fuzz.h"
#include "platform/drops/Download.h"
#include "platform/drops/DragOffer.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace kelvane::drops;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool directSave = input.ConsumeBool();
    fuzz::Drag drag;
    while (input.remaining_bytes() > 0) {
        const std::string format = input.ConsumeRandomLengthString();
        const std::string value = input.ConsumeRandomLengthString();
        drag.set(QString::fromStdString(format), QByteArray::fromStdString(value));
    }
    DragReading offer(&drag, directSave, 2000);
    const QUrl imageUrl = offer.imageUrl(), page = offer.page();
    FUZZ_CHECK(imageUrl.isEmpty() || Download::allowedScheme(imageUrl));
    FUZZ_CHECK(page.isEmpty() || Download::allowedScheme(page));
    // A data: address is never fetched, and only one address is taken.
    FUZZ_CHECK(offer.dataBytes().isEmpty() || imageUrl.isEmpty());
    FUZZ_CHECK(!offer.directSave() || directSave);
    FUZZ_CHECK(offer.octets().isEmpty() || drag.formats().contains(offer.octets()));
    fuzz::checkSafeName(offer.name([] { return QStringLiteral("../proposed.png"); }));
    offer.imageDataBytes();
    return 0;
}
