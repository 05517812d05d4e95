// File names: a cache file's name cleaned up, and the name a dropped address or a browser
// gives a file. Whatever the name, the file must land in the chosen folder under a name that
// can be created there.

#include "Fuzz.h"
#include "platform/drops/DropNaming.h"
#include "saving/FileNaming.h"

#include <QUrl>

using namespace kelvane;
using namespace kelvane::drops;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytes(data, size);
    const QString text = QString::fromUtf8(bytes);
    // A name as browsers hand it over: UTF-16, perhaps with half a surrogate pair.
    const QString utf16(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);

    for (const bool queryNames : {false, true}) {
        const QString path = QStringLiteral("/cache/") + text;
        const QString name = CorrectFileName(path, queryNames);
        FUZZ_CHECK(!name.contains(u'/'));
        FUZZ_CHECK(name.size() <= GetFileName(path).size());
        FUZZ_CHECK(!name.contains(QLatin1String(".jpe")) && !name.contains(QLatin1String(".tiff")));
    }

    for (const QString& raw : {text, utf16}) {
        const QString name = safeName(raw);
        fuzz::checkSafeName(name);
        FUZZ_CHECK(name.isValidUtf16() || !raw.isValidUtf16());
        // A shortened name keeps its extension.
        if (raw.endsWith(QLatin1String(".jpg")) && name.size() > 3)
            FUZZ_CHECK(name.endsWith(QLatin1String(".jpg")));

        // The name keeps its stem and ends as its type's pictures do.
        const QString type = imageType(bytes), named = withImageExtension(name, type);
        FUZZ_CHECK(named.startsWith(name.section(u'.', 0, -2)) || named.startsWith(name));
        FUZZ_CHECK(type.isEmpty() || named == name || named.endsWith(u'.' + type));
    }

    FUZZ_CHECK(!nameFromUrl(QUrl(text)).contains(u'/'));
    FUZZ_CHECK(!nameFromUrl(QUrl::fromEncoded(bytes)).contains(u'/'));
    return 0;
}
