// Firefox ESR and Chromium drag a local page's pictures onto kelvane: original bytes, right names.
#include "DesktopTools.h"
#include "HttpServer.h"

#include <QImage>
#include <QStandardPaths>

using namespace kelvane::test;

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
        // 150 x 200 px each, four a row: plain (escaped blank, query), in a link, the larger
        // of a srcset (named after the bytes shown, not the src; no-store), a large one
        // (Chromium gives no bytes above about 1 MiB: fetched again in time); then one as a
        // data: address, one as a blob: address, an SVG drawing and an AVIF picture (where
        // ImageMagick can make one): the page's bytes all the same.
        QProcess avif;
        avif.start("convert", {"jpg:-", "avif:-"});
        avif.write(jpegPicture('h'));
        avif.closeWriteChannel();
        avif.waitForFinished();
        const QByteArray pictures[] = {
            jpegPicture('a'),
            jpegPicture('b'),
            jpegPicture('c'),
            jpegPicture('d', QSize(1800, 1500)),
            jpegPicture('e'),
            jpegPicture('f'),
            "<svg xmlns='http://www.w3.org/2000/svg' width='150' height='200'><circle cx='75' "
            "cy='100' r='60' fill='teal'/></svg>",
            avif.exitCode() == 0 ? avif.readAllStandardOutput() : QByteArray()};
        HttpServer server;
        server.route("/page.html", 200, "text/html",
                     "<html><body style='margin:0'><style>img{width:150px;height:200px}</style>"
                     "<img src='/my%20cat.jpeg?w=200'>"
                     "<a href='/elsewhere.html'><img src='/linked.jpg'></a>"
                     "<img src='/small.jpg' srcset='/small.jpg 100w, /nostore.jpg 1000w' "
                     "sizes='150px'><img src='/big.jpg'><br>"
                     "<img src='data:image/jpeg;base64," +
                         pictures[4].toBase64() +
                         "'><img id=b><img src='/drawing.svg'><img src='/photo.avif'><script>"
                         "fetch('/blob.jpg').then(r => r.blob()).then(b => "
                         "document.getElementById('b').src = URL.createObjectURL(b))</script>"
                         "</body></html>");
        server.route("/my%20cat.jpeg", 200, "image/jpeg", pictures[0]);
        server.route("/linked.jpg", 200, "image/jpeg", pictures[1]);
        server.route("/elsewhere.html", 200, "text/html", "<html>a page</html>");
        server.route("/nostore.jpg", 200, "image/jpeg", pictures[2], "Cache-Control: no-store\r\n");
        server.route("/small.jpg", 200, "image/jpeg", jpegPicture('s'));
        server.route("/big.jpg", 200, "image/jpeg", pictures[3], "Cache-Control: no-store\r\n");
        server.route("/blob.jpg", 200, "image/jpeg", pictures[5]);
        server.route("/drawing.svg", 200, "image/svg+xml", pictures[6]);
        server.route("/photo.avif", 200, "image/avif", pictures[7]);
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
        startBrowser(web, browser, server.url("/page.html"), home.path());
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

        // Where each is dropped (the picture, the label) and what it is saved as. A data: or
        // blob: address names nothing: the browser's own word for it, else "image". Firefox
        // offers a blob: picture only as image data it re-encodes: a copy, the same size.
        const bool firefox = browser.startsWith("firefox");
        const std::pair<QPoint, QString> drops[] = {
            {{930, 230}, home.path() + "/Desktop/my cat.jpg"},
            {{930, 305}, pics + "/linked.jpg"},
            {{930, 230}, home.path() + "/Desktop/nostore.jpg"},
            {{930, 305}, pics + "/big.jpg"},
            {{930, 230},
             home.path() + (firefox ? "/Desktop/Untitled.jpg" : "/Desktop/download.jpg")},
            {{930, 305}, pics + (firefox ? "/Untitled.png" : "/image.jpg")},
            {{930, 230}, home.path() + "/Desktop/drawing.svg"},
            {{930, 305}, pics + "/photo.avif"}};
        const auto windows = [&] { // the program's: no message may come of a saved picture
            return run("xdotool",
                       {"search", "--onlyvisible", "--pid", QString::number(kelvane.processId())});
        };
        const QString shown = windows();
        for (int i = 0; i < 8; ++i) {
            const auto& [target, file] = drops[i];
            if (pictures[i].isEmpty()) {
                qInfo("%s: skipped, ImageMagick cannot make the picture here", qPrintable(file));
                continue;
            }
            const QPoint from(75 + 150 * (i % 4), 260 + 200 * (i / 4));
            QVERIFY(dragFromBrowser(corner + from, target));
            const auto saved = [&] {
                const QByteArray bytes = readBytes(file);
                return firefox && i == 5 ? QImage::fromData(bytes).size() == QSize(260, 300)
                                         : bytes == pictures[i];
            };
            QElapsedTimer clock;
            clock.start();
            (void)QTest::qWaitFor(saved, 20000);
            qInfo("%s: %lld bytes in %lld ms after the release", qPrintable(file),
                  qint64(pictures[i].size()), clock.elapsed());
            const QString screenshot = QDir::tempPath() + "/browserdrop-" + browser + ".png";
            if (!saved())
                run("import", {"-window", "root", screenshot});
            QVERIFY2(saved(),
                     qPrintable(file + ", see " + screenshot + "; saved: " +
                                QDir(QFileInfo(file).path()).entryList(QDir::Files).join(", ")));
        }
        QTest::qWait(500); // a preview's message would be up by now
        QCOMPARE(windows(), shown);
        web.kill();
        web.waitForFinished();
        QVERIFY(kelvane.terminate());
    }
};

QTEST_MAIN(TestBrowserDrop)
#include "tst_browserdrop.moc"
