// How long IncrementFileName takes with 999 numbered copies present, beside two baselines
// measured in the same run: the 1000 bare stat() calls it cannot avoid, and the same probes
// written the plain Qt way (a QString per candidate, QFileInfo).
//
//   bench_naming [runs]    (default 200)
//
// Prints figures only.

#include "platform/Platform.h"
#include "platform/fake/FakePlatform.h"
#include "saving/FileNaming.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <vector>

using namespace kelvane;

namespace {

double medianMs(int runs, const std::function<void()>& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 200;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString original = dir.filePath("cat.jpg");
    for (int i = 1; i <= 999; ++i) {
        QFile f(dir.filePath(QStringLiteral("cat (%1).jpg").arg(i)));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
    }

    std::vector<QByteArray> names;
    for (int i = 0; i <= 999; ++i)
        names.push_back(QFile::encodeName(dir.filePath(QStringLiteral("cat (%1).jpg").arg(i))));
    int sink = 0;
    const double bare = medianMs(runs, [&] {
        struct stat st;
        for (const QByteArray& n : names)
            sink += ::stat(n.constData(), &st) == 0;
    });
    const double plainQt = medianMs(runs, [&] {
        const QString head = original.left(original.size() - 4);
        for (int i = 0; i <= 999; ++i)
            sink += QFileInfo(head + QStringLiteral(" (%1)").arg(i) + ".jpg").isFile();
    });
    FakePlatform platform; // only its message box could be reached, and must not be
    QString result;
    const double ours = medianMs(runs, [&] { result = IncrementFileName(original, platform); });

    std::printf("IncrementFileName, 999 copies present, median of %d runs\n", runs);
    std::printf("  baseline 1000 bare stat() calls    %8.3f ms\n", bare);
    std::printf("  baseline QString + QFileInfo probes %8.3f ms\n", plainQt);
    std::printf("  IncrementFileName                   %8.3f ms  -> %s%s\n", ours,
                qPrintable(QFileInfo(result).fileName()),
                platform.messageBoxes.size() ? "  (unexpected message box)" : "");
    return sink < 0;
}
