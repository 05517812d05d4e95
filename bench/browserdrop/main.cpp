// From a drop to the saved file for a 2 MB JPEG by each route a browser hands a picture
// over (the browser saving it itself, the bytes in the drag, a download from 127.0.0.1),
// beside `cp` of the same file in the same run. The browser's own part (writing the file,
// serving it) is simulated in this process and counted in the figure.
//
//   bench_browserdrop [runs]    (default 9)
//
// Every figure is the median of the runs. Prints figures only.

#include "HttpServer.h"
#include "core/AppState.h"
#include "folders/FolderSlots.h"
#include "history/HistoryList.h"
#include "platform/drops/DropAdapter.h"
#include "platform/fake/FakePlatform.h"
#include "saving/SavePipeline.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelvane;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    QTemporaryDir dir;
    QByteArray picture("\xFF\xD8\xFF\xE0", 4);
    picture.resize(2 * 1024 * 1024);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(picture.data() + 4),
                                  (picture.size() - 4) / 4);
    const QString source = dir.path() + "/source.jpg";
    QFile f(source);
    f.open(QIODevice::WriteOnly);
    f.write(picture);
    f.close();

    test::HttpServer server;
    server.route("/photo.jpg", 200, "image/jpeg", picture);

    FakePlatform platform;
    AppState state;
    state.sDesktopFolder = dir.path() + "/Desktop";
    state.bAutoIncrementSavedFiles = true;
    QDir().mkpath(state.sDesktopFolder);
    FolderSlots folders;
    HistoryList history;
    SavePipeline pipeline(state, folders, history, dir.path() + "/history.dat", platform);

    drops::DropAdapter adapter(
        [&picture](const auto&, const QString& uri) {
            // The browser answers, then writes the file from its cache a moment later.
            const QString path = QUrl(uri).toLocalFile();
            QFile(path).open(QIODevice::WriteOnly); // there at once, empty
            QTimer::singleShot(0, [path, &picture] {
                QFile out(path);
                out.open(QIODevice::WriteOnly);
                out.write(picture);
            });
            return drops::DirectSaveAnswer{'S', {}};
        },
        [] { return QString(); }, drops::DropCache(dir.path() + "/cache"));

    const auto dropToSaved = [&](const QMimeData& data) {
        QElapsedTimer timer;
        timer.start();
        bool saved = false;
        adapter.receive(&data, {[&](const QString& file, const QString&) {
                                    saved = pipeline.SaveImage(-1, file, {}, nullptr).result ==
                                            SaveOutcome::Result::Saved;
                                },
                                {}});
        while (!saved)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        QDir(state.sDesktopFolder).removeRecursively();
        QDir().mkpath(state.sDesktopFolder);
        return ms;
    };

    QMimeData direct, octets, address;
    direct.setData("XdndDirectSave0", {});
    direct.setUrls({QUrl(server.url("/photo.jpg"))});
    octets.setData("application/octet-stream", picture);
    octets.setUrls({QUrl(server.url("/photo.jpg"))});
    address.setUrls({QUrl(server.url("/photo.jpg"))});

    std::vector<double> cp, cpSync, viaDirect, viaOctets, viaDownload;
    const QString copy = state.sDesktopFolder + "/copy.jpg";
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess::execute("cp", {source, copy});
        cp.push_back(double(timer.nsecsElapsed()) / 1e6);
        QFile::remove(copy);
        // The save flushes its copy to disk before it puts it in place; so does this one.
        timer.restart();
        QProcess::execute("sh", {"-c", "cp \"$0\" \"$1\" && sync --data \"$1\"", source, copy});
        cpSync.push_back(double(timer.nsecsElapsed()) / 1e6);
        QFile::remove(copy);
        viaDirect.push_back(dropToSaved(direct));
        viaOctets.push_back(dropToSaved(octets));
        viaDownload.push_back(dropToSaved(address));
    }
    const double base = median(cpSync);
    std::printf("2 MB JPEG, median of %d runs (ratios against cp + sync)\n", runs);
    std::printf("  cp (process start included)       %7.2f ms\n", median(cp));
    std::printf("  cp + sync --data                  %7.2f ms\n", base);
    for (const auto& [name, v] :
         {std::pair{"direct save", &viaDirect}, std::pair{"octet-stream", &viaOctets},
          std::pair{"download 127.0.0.1", &viaDownload}})
        std::printf("  drop to saved, %-18s %7.2f ms  (%.2f x)\n", name, median(*v),
                    median(*v) / base);
    return 0;
}
