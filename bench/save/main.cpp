// How long a save's copy takes, from the call to the file in place, beside `cp` of the same
// file in the same run; and how long IncrementFileName takes with 0 and 999 numbered copies.
//
//   bench_save [runs] [folder]    (default 5 runs, a temporary folder under the system's tmp)
//
// The copy flushes the file to disk before it renames it into place; cp does not, so a second
// baseline runs cp followed by `sync --data` on the copy. Every figure is the median of the
// runs; the target is removed and dirty pages are written back before each run. The process
// start of cp is in its figures: the time of running `true` is printed for reference.
// Prints figures only.

#include "platform/fake/FakePlatform.h"
#include "platform/posix/FileCopy.h"
#include "saving/FileNaming.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace kelvane;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double elapsedMs(const std::function<void()>& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

bool run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool makeSource(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator{quint32(size)};
    for (qint64 written = 0; written < size;) {
        generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        const qint64 n = std::min<qint64>(size - written, block.size());
        if (file.write(block.constData(), n) != n)
            return false;
        written += n;
    }
    return file.flush();
}

struct Figures {
    double ours = 0, cp = 0, cpSync = 0;
    bool failed = false;
};

Figures measureCopy(const QString& source, const QString& target, int runs) {
    std::vector<double> ours, cp, cpSync;
    Figures figures;
    auto fresh = [&] {
        QFile::remove(target);
        ::sync();
    };
    for (int i = 0; i < runs; ++i) {
        // The order changes from run to run so neither side always follows the other.
        std::vector<std::function<void()>> steps = {
            [&] {
                fresh();
                ours.push_back(
                    elapsedMs([&] { figures.failed |= !copyFileAtomically(source, target).ok; }));
            },
            [&] {
                fresh();
                cp.push_back(elapsedMs([&] {
                    figures.failed |= !run("cp", {"--", source, target});
                }));
            },
            [&] {
                fresh();
                cpSync.push_back(elapsedMs([&] {
                    figures.failed |= !run("cp", {"--", source, target});
                    figures.failed |= !run("sync", {"--data", "--", target});
                }));
            },
        };
        std::rotate(steps.begin(), steps.begin() + i % 3, steps.end());
        for (auto& step : steps)
            step();
    }
    QFile::remove(target);
    figures.ours = median(ours);
    figures.cp = median(cp);
    figures.cpSync = median(cpSync);
    return figures;
}

double measureIncrement(const QString& original, int runs, QString& result) {
    FakePlatform platform; // only its message box could be reached, and must not be
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(elapsedMs([&] { result = IncrementFileName(original, platform); }));
    if (!platform.messageBoxes.isEmpty())
        result += "  (unexpected message box)";
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    QTemporaryDir dir(base + "/kelvane-bench-save-XXXXXX");
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a folder under %s\n", qPrintable(base));
        return 1;
    }

    std::vector<double> spawn;
    for (int i = 0; i < 20; ++i)
        spawn.push_back(elapsedMs([] { run("true", {}); }));
    std::printf("Copy from the call to the file in place, median of %d runs, in %s\n", runs,
                qPrintable(dir.path()));
    std::printf("  (starting a process, `true`: %.2f ms)\n", median(spawn));
    std::printf("  %-8s %12s %12s %8s %16s %8s\n", "size", "copy ms", "cp ms", "ratio",
                "cp+sync ms", "ratio");
    const struct {
        const char* label;
        qint64 bytes;
    } sizes[] = {{"100 KB", 100 * 1000}, {"5 MB", 5 * 1000 * 1000}, {"200 MB", 200 * 1000 * 1000}};
    for (const auto& size : sizes) {
        const QString source = dir.filePath("source.jpg");
        if (!makeSource(source, size.bytes))
            return 1;
        const Figures f = measureCopy(source, dir.filePath("target copy.jpg"), runs);
        std::printf("  %-8s %12.2f %12.2f %8.2f %16.2f %8.2f%s\n", size.label, f.ours, f.cp,
                    f.ours / f.cp, f.cpSync, f.ours / f.cpSync,
                    f.failed ? "  (a copy failed)" : "");
        QFile::remove(source);
    }

    const int namingRuns = 200;
    std::printf("\nIncrementFileName, median of %d runs\n", namingRuns);
    const QString original = dir.filePath("cat.jpg");
    if (!makeSource(original, 10))
        return 1;
    QString result;
    double ms = measureIncrement(original, namingRuns, result);
    std::printf("  0 copies present    %8.3f ms  -> %s\n", ms,
                qPrintable(QFileInfo(result).fileName()));
    for (int i = 1; i <= 999; ++i) {
        QFile copy(dir.filePath(QStringLiteral("cat (%1).jpg").arg(i)));
        if (!copy.open(QIODevice::WriteOnly))
            return 1;
    }
    ms = measureIncrement(original, namingRuns, result);
    std::printf("  999 copies present  %8.3f ms  -> %s\n", ms,
                qPrintable(QFileInfo(result).fileName()));
    return 0;
}
