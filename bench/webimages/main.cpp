// Release to saved file for a picture of each kind pages carry, dragged out of a real browser
// onto the client's picture, beside `cp` + `sync --data` of the same bytes into the same Desktop
// folder, run in turn with the drops. Every picture is made here. Medians of the runs; a saved
// file that differs or is missing is printed as such. Prints figures only.
//
//   scripts/test-desktop.sh build/bench_webimages [runs]    (default 3)

#include "DesktopTools.h"
#include "HttpServer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelvane::test;

namespace {

struct Kind {
    QByteArray name, extension, type;
    QList<QImage> frames = {}; // more than one: an animation
    QByteArray bytes = {};
    QString madeBy = {}; // empty: it cannot be made here
    QPoint spot = {};    // the picture's middle on the page
};

struct Runs {                          // of one kind in one browser
    std::vector<double> drops, copies; // the drops that saved the same bytes; the copies
    QMap<QByteArray, int> outcomes;
};

void save(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QImage photo(int seed, QSize size) {
    return QImage::fromData(jpegPicture(seed, size)).convertToFormat(QImage::Format_RGB32);
}

// The toolkit's writer where it writes the kind, else ImageMagick from PNG frames.
void make(Kind& kind, const QString& dir) {
    QBuffer buffer(&kind.bytes);
    buffer.open(QIODevice::WriteOnly);
    if (kind.frames.size() == 1 && QImageWriter::supportedImageFormats().contains(kind.extension) &&
        QImageWriter(&buffer, kind.extension).write(kind.frames[0])) {
        kind.madeBy = "Qt";
        return;
    }
    QStringList args{"-delay", "30", "-loop", "0"};
    for (int i = 0; i < kind.frames.size(); ++i) {
        args << QStringLiteral("%1/%2-%3.png").arg(dir, kind.name).arg(i);
        kind.frames[i].save(args.last());
    }
    const QString out = dir + "/converted." + kind.extension;
    const bool made = QProcess::execute("convert", args << kind.extension + ':' + out) == 0;
    kind.bytes = made ? readBytes(out) : QByteArray();
    kind.madeBy = made ? kind.frames.size() > 1 ? "convert, animated" : "convert" : "";
}

QByteArray drawing(int seed) { // circles in SVG, written out by hand
    QRandomGenerator random(seed);
    QString svg = "<?xml version='1.0'?>\n<svg xmlns='http://www.w3.org/2000/svg' width='480' "
                  "height='360'>\n<rect width='480' height='360' fill='#204060'/>\n";
    for (int i = 0; i < 40; ++i)
        svg += QString::asprintf("<circle cx='%d' cy='%d' r='%d' fill='#%06x' opacity='0.7'/>\n",
                                 random.bounded(480), random.bounded(360), 10 + random.bounded(50),
                                 random.bounded(0x1000000));
    return (svg + "</svg>\n").toLatin1();
}

// Plays a drag with the desktop's pointer but releases the button itself, so that the release
// is known to the millisecond (the pointer's own play notices its end up to 10 ms late).
struct TimedPointer : Pointer {
    QElapsedTimer released;
    bool play(const PointerPath& path) override {
        if (!xPointer().play(path.first(path.size() - 1)))
            return false;
        QProcess up;
        up.start("xdotool", {"mousemove", QString::number(path.last().to.x()),
                             QString::number(path.last().to.y()), "mouseup", "1"});
        const bool done = up.waitForFinished(5000) && up.exitCode() == 0;
        released.start();
        return done;
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One run: `cp` + `sync --data` of the picture into the Desktop folder, then a drag of it from
// the page (at `from` on the screen) onto the client's picture, the file polled every
// millisecond until one there is as large as the picture.
void copyAndDrop(const Kind& kind, Runs& runs, const QString& source, const QString& desktop,
                 QPoint from) {
    for (const QString& name : QDir(desktop).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(desktop + '/' + name);
    const QString copy = desktop + "/copy." + kind.extension;
    QElapsedTimer timer;
    timer.start();
    QProcess::execute("sh", {"-c", "cp \"$0\" \"$1\" && sync --data \"$1\"", source, copy});
    runs.copies.push_back(double(timer.nsecsElapsed()) / 1e6);
    QFile::remove(copy);

    TimedPointer pointer;
    if (!dragFromBrowser(from, {948, 248}, pointer)) {
        ++runs.outcomes["no drag"];
        return;
    }
    QFileInfo saved;
    const auto complete = [&] {
        for (const QFileInfo& f : QDir(desktop).entryInfoList(QDir::Files))
            if ((saved = f).size() == kind.bytes.size())
                return true;
        return false;
    };
    while (!complete() && pointer.released.elapsed() < 20000) {
        QCoreApplication::processEvents(); // the page's server answers
        QThread::usleep(1000);
    }
    const double ms = double(pointer.released.nsecsElapsed()) / 1e6;
    const bool same = saved.exists() && readBytes(saved.filePath()) == kind.bytes;
    if (same)
        runs.drops.push_back(ms);
    ++runs.outcomes[same             ? "same"
                    : saved.exists() ? "differ: " + saved.fileName().toUtf8() + " of " +
                                           QByteArray::number(saved.size()) + " bytes"
                                     : "missing"];
    QTest::qWait(500); // the client shows what it saved, the browser ends its drag
}

void print(const QByteArray& browser, const Kind& kind, const Runs& runs) {
    QByteArray said = kind.bytes.isEmpty() ? "skipped: cannot be made here" : "", drop = "-",
               ratio = "-";
    for (auto [what, times] : runs.outcomes.asKeyValueRange())
        said += (said.isEmpty() ? "" : ", ") + QByteArray::number(times) + "x " + what;
    const double copy = runs.copies.empty() ? 0 : median(runs.copies);
    if (!runs.drops.empty()) {
        drop = QByteArray::number(median(runs.drops), 'f', 1);
        ratio = QByteArray::number(median(runs.drops) / copy, 'f', 1);
    }
    std::printf("%-12s %-5s %-18s %8lld %9s %8.1f %7s  %s\n", browser.data(), kind.name.constData(),
                qPrintable(kind.madeBy), qint64(kind.bytes.size()), drop.data(), copy, ratio.data(),
                said.data());
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir work;
    const QImage picture = photo(5, {480, 360});
    const QList<QImage> animation{photo(1, {240, 180}), photo(2, {240, 180}), photo(3, {240, 180})};
    std::vector<Kind> kinds{{"JPEG", "jpg", "image/jpeg", {}, jpegPicture(5, {480, 360}), "Qt"},
                            {"PNG", "png", "image/png", {picture}},
                            {"GIF", "gif", "image/gif", animation},
                            {"WebP", "webp", "image/webp", {picture}},
                            {"BMP", "bmp", "image/bmp", {picture}},
                            {"ICO", "ico", "image/vnd.microsoft.icon", {photo(4, {128, 128})}},
                            {"SVG", "svg", "image/svg+xml", {}, drawing(6), "by hand"},
                            {"AVIF", "avif", "image/avif", {picture}}};

    // The page: the pictures three to a row, and where its top left corner is on the screen,
    // told each half second (a bar the browser shows later moves it).
    HttpServer server;
    QByteArray page = "<html><head><style>body{margin:0} img{vertical-align:top;margin:0 20px "
                      "20px 0}</style><script>setInterval(()=>fetch('/origin?'+Math.round("
                      "window.mozInnerScreenX??screenX+outerWidth-innerWidth)+'/'+Math.round("
                      "window.mozInnerScreenY??screenY+outerHeight-innerHeight)),500)</script>"
                      "</head><body>";
    int shown = 0;
    for (Kind& kind : kinds) {
        if (kind.bytes.isEmpty())
            make(kind, work.path());
        if (kind.bytes.isEmpty())
            continue;
        const QByteArray path = "/picture." + kind.extension;
        server.route(path, 200, kind.type, kind.bytes);
        save(work.path() + "/source." + kind.extension, kind.bytes);
        kind.spot = QPoint(100 + 220 * (shown % 3), 80 + 180 * (shown / 3));
        page += "<img src='" + path + "' width=200 height=160>" + (++shown % 3 ? "" : "<br>");
    }
    server.route("/page.html", 200, "text/html", page + "</body></html>");
    server.route("/origin", 200, "text/plain", {});
    const auto origin = [&] {
        for (qsizetype i = server.requests.size() - 1; i >= 0; --i)
            if (server.requests[i].startsWith("/origin?")) {
                const QByteArrayList xy = server.requests[i].mid(8).split('/');
                return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
            }
        return QPoint();
    };

    std::printf("release to saved file, median of %d runs; cp: cp + sync --data\n", runs);
    std::printf("%-12s %-5s %-18s %8s %9s %8s %7s  %s\n", "browser", "kind", "made by", "bytes",
                "drop ms", "cp ms", "ratio", "saved bytes");
    for (const QString browser : {"firefox-esr", "chromium"}) {
        const QByteArray b = browser.toUtf8();
        if (QStandardPaths::findExecutable(browser).isEmpty()) {
            std::printf("%-12s not installed\n", b.data());
            continue;
        }
        TestHome home;
        const QString desktop = home.path() + "/Desktop";
        QDir().mkpath(desktop);
        // The client at 900, 200 px, Large: its picture 97 px square; one label (an empty list
        // would bring the first run's settings back).
        save(home.settingsFile(),
             previousRun({"alwaysontop=False", "clientsize=LARGE", "overwrite=False",
                          "showsavedimage=True", "windowsfolder=" + home.path(), "left= 13500",
                          "top= 3000", "playconfirmsound=False", "showsavesrrormessage=False",
                          "autoincrementsavedfiles=True"},
                         {desktop}));
        KelvaneProcess kelvane(home);
        QProcess web;
        web.setProcessEnvironment(home.environment());
        server.requests.clear();
        if (kelvane.startShown({"quiet"}).isEmpty()) {
            std::printf("%-12s the client did not show\n", b.data());
            continue;
        }
        startBrowser(web, browser, server.url("/page.html"), home.path());
        if (!QTest::qWaitFor([&] { return !origin().isNull(); }, 60000)) {
            std::printf("%-12s showed no page\n", b.data());
            continue;
        }
        QTest::qWait(3000); // the pictures drawn, the browser ready for drags
        std::vector<Runs> measured(kinds.size());
        for (int pass = 0; pass < runs; ++pass)
            for (size_t i = 0; i < kinds.size(); ++i)
                if (!kinds[i].bytes.isEmpty())
                    copyAndDrop(kinds[i], measured[i],
                                work.path() + "/source." + kinds[i].extension, desktop,
                                origin() + kinds[i].spot);
        for (size_t i = 0; i < kinds.size(); ++i)
            print(b, kinds[i], measured[i]);
        web.kill();
        web.waitForFinished();
        kelvane.terminate();
    }
    return 0;
}
