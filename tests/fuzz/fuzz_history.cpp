// The history file, whatever it holds: only lines naming existing files are listed, and the
// list written out reads back the same. An "@" in the input stands for the run's own folder,
// where a few files exist.

#include "Fuzz.h"
#include "core/FileTests.h"
#include "history/HistoryList.h"

using namespace kelvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QByteArray folder = [] {
        for (const char* name : {"a", "cat.jpg", "my cat (1).png"})
            fuzz::file(QString::fromUtf8(name), "picture");
        return fuzz::path(QString()).toUtf8();
    }();
    const QString file =
        fuzz::file(QStringLiteral("history.dat"), fuzz::bytes(data, size).replace('@', folder));
    HistoryList history;
    history.FillList(file);
    FUZZ_CHECK(history.size() <= HistoryList::kLinesLoaded);
    for (const QString& entry : history.entries())
        FUZZ_CHECK(FileExists(entry));

    FUZZ_CHECK(history.writeFile(file));
    HistoryList again;
    again.FillList(file);
    FUZZ_CHECK(again.entries() == history.entries());
    return 0;
}
