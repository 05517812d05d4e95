// A drag's file list (text/uri-list): the first local file, read from whatever the drag
// source put there.

#include "Fuzz.h"
#include "platform/drops/FileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray list = fuzz::bytes(data, size);
    fuzz::Drag drag;
    drag.set(QStringLiteral("text/uri-list"), list);
    const QString file = kelvane::drops::firstLocalFile(&drag);
    FUZZ_CHECK(!file.contains(QChar(u'\0')));

    // Only the first entry counts: more files after it change nothing.
    if (!file.isEmpty()) {
        drag.set(QStringLiteral("text/uri-list"), list + "\r\nfile:///tmp/other.png\r\n");
        FUZZ_CHECK(kelvane::drops::firstLocalFile(&drag) == file);
    }
    return 0;
}
