// Real browsers (Firefox ESR and Chromium) drag pictures of a page served from 127.0.0.1 onto
// the real program: the saved file holds the original bytes under the corrected name.
#include "DesktopTools.h"
#include "HttpServer.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

using namespace kelvane::test;

namespace {

// A picture of its own for each place on the page, encoded once.
QByteArray jpeg(char seed) {
    static QHash<char, QByteArray> made;
    if (!made.contains(seed)) {
        QImage image(260, 300, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x * seed % 256, y * 3 % 256, (x ^ y) % 256));
        QBuffer buffer(&made[seed]);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 90);
    }
    return made[seed];
}

// Three pictures side by side, 200 x 250 pixels each, at the page's top left: a plain one
// (its address with an escaped blank and a query), one inside a link to a page, and one that
// the browser must fetch again (no-store).
const QByteArray kPage =
    "<html><body style='margin:0'>"
    "<img src='/my%20cat.jpeg?w=200' width=200 height=250>"
    "<a href='/elsewhere.html'><img src='/linked.jpg' width=200 height=250></a>"
    "<img src='/nostore.jpg' width=200 height=250></body></html>";

// The server answers from a thread of its own, so that it serves while the test waits for
// the pointer.
class ServerThread {
public:
    ServerThread() {
        thread_.start();
        context_.moveToThread(&thread_);
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                server_ = new HttpServer;
                server_->route("/page.html", 200, "text/html", kPage);
                server_->route("/my%20cat.jpeg", 200, "image/jpeg", jpeg('a'));
                server_->route("/linked.jpg", 200, "image/jpeg", jpeg('b'));
                server_->route("/nostore.jpg", 200, "image/jpeg", jpeg('c'),
                               "Cache-Control: no-store\r\n");
                server_->route("/elsewhere.html", 200, "text/html", "<html>a page</html>");
            },
            Qt::BlockingQueuedConnection);
    }
    ~ServerThread() {
        QMetaObject::invokeMethod(
            &context_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    QString url(const char* path) const { return server_->url(path); }

private:
    QThread thread_;
    QObject context_;
    HttpServer* server_ = nullptr;
};

// A press on the picture, small moves that both browsers take as the start of a drag, a
// pause, the way to the target, a pause there, the release.
bool dragFromBrowser(QPoint from, QPoint to) {
    QString script = QStringLiteral("xdotool mousemove --sync %1 %2 click 1; sleep 0.5; "
                                    "xdotool mousemove --sync %3 %4 mousedown 1; ")
                         .arg(from.x() + 100)
                         .arg(from.y() + 100)
                         .arg(from.x())
                         .arg(from.y());
    QPoint at = from;
    for (int d : {1, 2, 3, 4, 6, 8, 10, 14, 20, 30}) {
        at = from + QPoint(d, d);
        script += QStringLiteral("xdotool mousemove %1 %2; sleep 0.08; ").arg(at.x()).arg(at.y());
    }
    script += QStringLiteral("sleep 0.5; ");
    for (int i = 1; i <= 10; ++i) {
        const QPoint p = at + (to - at) * i / 10;
        script += QStringLiteral("xdotool mousemove %1 %2; sleep 0.05; ").arg(p.x()).arg(p.y());
    }
    script += QStringLiteral("xdotool mousemove %1 %2; sleep 0.1; xdotool mousemove %3 %4; "
                             "sleep 1; xdotool mouseup 1")
                  .arg(to.x() + 2)
                  .arg(to.y() + 2)
                  .arg(to.x())
                  .arg(to.y());
    QProcess xdotool;
    xdotool.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    return QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 30000) &&
           xdotool.exitCode() == 0;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestBrowserDrop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
    }

    void dropsFromBrowsers_data() {
        QTest::addColumn<QString>("browser");
        QTest::newRow("firefox") << "firefox-esr";
        QTest::newRow("chromium") << "chromium";
    }
    void dropsFromBrowsers() {
        QFETCH(QString, browser);
        if (QStandardPaths::findExecutable(browser).isEmpty())
            QSKIP(qPrintable(browser + " is not installed"));
        ServerThread server;
        TestHome home;
        const QString pics = home.path() + "/Pics";
        QDir().mkpath(pics);
        // The client at 900, 200 px, Large: the picture 97 px square, the label under it.
        writeFile(home.settingsFile(),
                  settingsText({"alwaysontop=False", "clientsize=LARGE", "overwrite=False",
                                "showsavedimage=True", "firstuse=False",
                                "windowsfolder=" + home.path(), "left= 13500", "top= 3000",
                                "playconfirmsound=False", "", "", "", "showsavesrrormessage=False",
                                "", "autoincrementsavedfiles=True", "correctquerystringnames=True"},
                               {pics}));
        KelvaneProcess kelvane(home);
        kelvane.start({"quiet"});
        QVERIFY(!kelvane.waitForMainWindow().isEmpty());

        QProcess web;
        web.setProcessEnvironment(home.environment());
        const QString page = server.url("/page.html");
        const QString profile = home.path() + "/browser-profile";
        QDir().mkpath(profile);
        if (browser == "chromium")
            web.start(browser, {"--no-sandbox", "--disable-gpu", "--no-first-run",
                                "--disable-background-networking", "--disable-component-update",
                                "--disable-sync", "--user-data-dir=" + profile,
                                "--window-position=0,0", "--window-size=800,700", page});
        else
            web.start(browser, {"--no-remote", "--new-instance", "--profile", profile, "--width",
                                "800", "--height", "700", page});
        QString window;
        (void)QTest::qWaitFor(
            [&] {
                window = run("xdotool", {"search", "--all", "--onlyvisible", "--pid",
                                         QString::number(web.processId()), "--name", "."})
                             .section('\n', 0, 0);
                return !window.isEmpty() || web.state() == QProcess::NotRunning;
            },
            40000);
        if (window.isEmpty())
            QSKIP(qPrintable(browser + " did not open a window on the test desktop"));
        QTest::qWait(8000); // the page and its pictures loaded, the browser ready for drags
        const QString where = run("xdotool", {"getwindowgeometry", "--shell", window});
        const QPoint corner(where.section("X=", 1).section('\n', 0, 0).toInt(),
                            where.section("Y=", 1).section('\n', 0, 0).toInt());

        const struct {
            int column;
            QPoint target;
            QString saved;
            QByteArray bytes;
        } drops[] = {
            {0, {930, 230}, home.path() + "/Desktop/my cat.jpg", jpeg('a')},
            {1, {930, 305}, pics + "/linked.jpg", jpeg('b')},
            {2, {930, 230}, home.path() + "/Desktop/nostore.jpg", jpeg('c')},
        };
        for (const auto& d : drops) {
            // Below the browser's own bars, whatever their height.
            QVERIFY(dragFromBrowser(corner + QPoint(100 + 200 * d.column, 300), d.target));
            (void)QTest::qWaitFor([&] { return readAll(d.saved).size() == d.bytes.size(); }, 20000);
            if (readAll(d.saved) != d.bytes)
                run("import",
                    {"-window", "root", QDir::tempPath() + "/browserdrop-" + browser + ".png"});
            QVERIFY2(readAll(d.saved) == d.bytes,
                     qPrintable(QStringLiteral("picture %1 of the page (window at %2, %3) as %4")
                                    .arg(d.column)
                                    .arg(corner.x())
                                    .arg(corner.y())
                                    .arg(d.saved)));
        }
        web.kill();
        web.waitForFinished();
        QVERIFY(kelvane.terminate());
    }
};

QTEST_MAIN(TestBrowserDrop)
#include "tst_browserdrop.moc"
