// Firefox ESR and Chromium drag a local page's pictures onto kelvane: original bytes, right names.
#include "DesktopTools.h"
#include "HttpServer.h"

#include <QBuffer>
#include <QImage>
#include <QStandardPaths>

using namespace kelvane::test;

namespace {

QByteArray jpeg(int seed) { // a picture of its own for each place on the page
    QImage image(260, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * seed % 256, y * 3 % 256, (x ^ y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// A click beside, a press, small moves both browsers take as a drag, the way, a wiggle, release.
bool dragFromBrowser(QPoint from, QPoint to) {
    const auto moveTo = [](QPoint p, const char* options = "") {
        return QString("xdotool mousemove %1 %2 %3").arg(options).arg(p.x()).arg(p.y());
    };
    QString script = moveTo(from + QPoint(100, 100), "--sync") + " click 1; sleep 0.5; " +
                     moveTo(from, "--sync") + " mousedown 1; ";
    for (int d : {1, 2, 3, 4, 6, 8, 10, 14, 20, 30})
        script += moveTo(from + QPoint(d, d)) + "; sleep 0.08; ";
    script += "sleep 0.5; ";
    for (int i = 1; i <= 10; ++i)
        script += moveTo(from + QPoint(30, 30) + (to - from - QPoint(30, 30)) * i / 10) +
                  "; sleep 0.05; ";
    script += moveTo(to + QPoint(2, 2)) + "; sleep 0.1; " + moveTo(to) + "; sleep 1; ";
    return runServing("sh", {"-c", script + "xdotool mouseup 1"});
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
        // 200 x 250 px each: plain (escaped blank, query), in a link, fetched again (no-store).
        const QByteArray pictures[] = {jpeg('a'), jpeg('b'), jpeg('c')};
        HttpServer server;
        server.route("/page.html", 200, "text/html",
                     "<html><body style='margin:0'>"
                     "<img src='/my%20cat.jpeg?w=200' width=200 height=250>"
                     "<a href='/elsewhere.html'><img src='/linked.jpg' width=200 height=250></a>"
                     "<img src='/nostore.jpg' width=200 height=250></body></html>");
        server.route("/my%20cat.jpeg", 200, "image/jpeg", pictures[0]);
        server.route("/linked.jpg", 200, "image/jpeg", pictures[1]);
        server.route("/elsewhere.html", 200, "text/html", "<html>a page</html>");
        server.route("/nostore.jpg", 200, "image/jpeg", pictures[2], "Cache-Control: no-store\r\n");
        TestHome home;
        const QString pics = home.path() + "/Pics";
        QDir().mkpath(pics);
        // The client at 900, 200 px, Large: the picture 97 px square, the label under it.
        writeFile(home.settingsFile(),
                  previousRun({"alwaysontop=False", "clientsize=LARGE", "overwrite=False",
                               "showsavedimage=True", "windowsfolder=" + home.path(), "left= 13500",
                               "top= 3000", "playconfirmsound=False", "showsavesrrormessage=False",
                               "autoincrementsavedfiles=True", "correctquerystringnames=True"},
                              {pics}));
        KelvaneProcess kelvane(home);
        QVERIFY(!kelvane.startShown({"quiet"}).isEmpty());

        QProcess web;
        web.setProcessEnvironment(home.environment());
        const QString page = server.url("/page.html"), profile = home.path() + "/browser-profile";
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
        const QPoint corner = windowPosition(window);

        // Where each is dropped (the picture, the label) and what it is saved as.
        const std::pair<QPoint, QString> drops[] = {
            {{930, 230}, home.path() + "/Desktop/my cat.jpg"},
            {{930, 305}, pics + "/linked.jpg"},
            {{930, 230}, home.path() + "/Desktop/nostore.jpg"}};
        for (int i = 0; i < 3; ++i) {
            const auto& [target, file] = drops[i];
            // Below the browser's own bars, whatever their height.
            QVERIFY(dragFromBrowser(corner + QPoint(100 + 200 * i, 300), target));
            const auto saved = [&] { return readBytes(file); };
            (void)QTest::qWaitFor([&] { return saved().size() == pictures[i].size(); }, 20000);
            const QString screenshot = QDir::tempPath() + "/browserdrop-" + browser + ".png";
            if (saved() != pictures[i])
                run("import", {"-window", "root", screenshot});
            QVERIFY2(saved() == pictures[i], qPrintable(file + ", see " + screenshot));
        }
        web.kill();
        web.waitForFinished();
        QVERIFY(kelvane.terminate());
    }
};

QTEST_MAIN(TestBrowserDrop)
#include "tst_browserdrop.moc"
