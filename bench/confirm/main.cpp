// From the drop of a large picture onto the client to the saved icon in front, beside the
// durable copy of the same file alone (what the save itself does: an unnamed file, flushed,
// renamed into place), run in turn, each first every other run. The picture is a real JPEG (4000 x
// 3000 px) padded after its end to the size asked for. The client runs on the fake platform, on a
// real display.
//
//   scripts/test-desktop.sh build/bench_confirm [MB] [runs]    (default 200 MB, 5 runs)
//
// Medians of the runs. Prints figures only.

#include "ClientFixture.h"
#include "DesktopTools.h"
#include "platform/posix/FileCopy.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMimeData>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelvane;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const qint64 size = (argc > 1 ? std::max(1, atoi(argv[1])) : 200) * qint64(1'000'000);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

    test::ClientFixture f;
    f.reset();
    QByteArray bytes = test::jpegPicture(9, QSize(4000, 3000));
    const qsizetype picture = bytes.size();
    bytes.resize(std::max<qint64>(size, picture));
    QRandomGenerator(3).fillRange(reinterpret_cast<quint32*>(bytes.data() + picture),
                                  (bytes.size() - picture) / 4);
    const QString source = f.folder("cache") + "/big.jpg";
    test::writeFile(source, bytes);
    bytes.clear();

    f.start({"alwaysontop=False", "clientsize=LARGE", "showsavedimage=True",
             "playconfirmsound=False", "autoincrementsavedfiles=True"});
    QWidget* picture1 = f.main->controls().Image1;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(source)});
    const QString saved = f.desktop() + "/big.jpg", copy = f.desktop() + "/copy.jpg";

    std::vector<double> copies, confirmed, previewed;
    const auto copyAlone = [&] {
        QProcess::execute("sync", {});
        QElapsedTimer clock;
        clock.start();
        copyFileAtomically(source, copy);
        copies.push_back(msSince(clock));
        QFile::remove(copy);
    };
    const auto dropAndSave = [&] {
        QProcess::execute("sync", {});
        f.main->controls().Image1->clear();
        const Qt::DropActions offer = Qt::CopyAction;
        QDragEnterEvent enter({3, 3}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop({4, 4}, offer, &data, Qt::LeftButton, Qt::NoModifier);
        QElapsedTimer clock;
        clock.start();
        QApplication::sendEvent(picture1, &enter);
        QApplication::sendEvent(picture1, &drop);
        while (f.iconInFront() != 1 && clock.elapsed() < 60'000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        confirmed.push_back(msSince(clock));
        while (f.main->controls().Image1->pixmap().isNull() && clock.elapsed() < 60'000)
            QApplication::processEvents(QEventLoop::AllEvents, 1);
        previewed.push_back(msSince(clock));
        QFile::remove(saved);
        QTest::qWait(200);
    };
    for (int i = 0; i < runs; ++i) { // in turn, each first every other run
        if (i % 2) {
            dropAndSave();
            copyAlone();
        } else {
            copyAlone();
            dropAndSave();
        }
    }
    const double base = median(copies);
    std::printf("%.0f MB JPEG, median of %d runs (ratios against the durable copy)\n",
                double(size) / 1e6, runs);
    std::printf("  durable copy alone            %8.1f ms\n", base);
    std::printf("  drop to saved icon in front   %8.1f ms  (%.2f x)\n", median(confirmed),
                median(confirmed) / base);
    std::printf("  drop to preview shown         %8.1f ms  (%.2f x)\n", median(previewed),
                median(previewed) / base);
    return 0;
}
