// The Wayland session as most users now have it: GNOME's mutter, no tray, Firefox ESR and
// Chromium as Wayland clients, the program started as the session starts it (it picks XWayland
// itself). Wayland windows cannot be placed or seen from X11: the page tells where it is by
// reporting the pointer's first move over it.
#include "DesktopTools.h"
#include "HttpServer.h"

#include <QStandardPaths>

using namespace kelvane::test;

// The program as the session starts it, in the session's runtime folder (its Wayland socket).
struct SessionKelvane : KelvaneProcess {
    explicit SessionKelvane(const TestHome& home) : KelvaneProcess(home) {
        QProcessEnvironment env = processEnvironment();
        env.insert("XDG_RUNTIME_DIR", qEnvironmentVariable("XDG_RUNTIME_DIR"));
        setProcessEnvironment(env);
    }
};

class TestWayland : public QObject {
    Q_OBJECT

    std::unique_ptr<Pointer> pointer_;
    HttpServer server_;
    // The second large: above a request's size, the bytes cross from Wayland in parts.
    const QByteArray pictures_[2] = {jpegPicture('w'), jpegPicture('x', QSize(1800, 1500))};
    QTemporaryDir browserHome_;
    QProcess web_;
    QString browser_;
    QRect page_; // the browser's page on the screen

    // The browser open (and no other), its page found; false when it opened no page.
    bool open(const QString& browser) {
        if (browser_ == browser && web_.state() == QProcess::Running)
            return true;
        close();
        server_.requests.clear();
        startBrowser(web_, browser_ = browser, server_.url("/page.html"),
                     browserHome_.path() + '/' + browser, true);
        // Ready when the page says where the pointer is over it: in the middle of the screen,
        // where mutter puts a first window.
        int moves = 0;
        return QTest::qWaitFor(
                   [&] {
                       const QPoint p(640 + ++moves % 2, 512);
                       const qsizetype asked = server_.requests.size();
                       pointer_->play({{p, 0, 300}});
                       for (qsizetype i = asked; i < server_.requests.size(); ++i)
                           if (const QByteArrayList at = server_.requests[i].split('?');
                               at[0] == "/at") {
                               const QByteArrayList n = at.value(1).split(',');
                               page_ = {p - QPoint(n.value(0).toInt(), n.value(1).toInt()),
                                        QSize(n.value(2).toInt(), n.value(3).toInt())};
                               return true;
                           }
                       return web_.state() != QProcess::Running;
                   },
                   60000) &&
               web_.state() == QProcess::Running;
    }
    void close() { // as a user closes it: the browser's own end
        web_.terminate();
        if (!web_.waitForFinished(10000))
            web_.kill();
        web_.waitForFinished();
    }

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        if (const QString missing = waylandSessionMissing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        enterWaylandSession();
        QVERIFY2((pointer_ = waylandPointer()), "mutter's remote desktop did not start");
        // Two pictures at the page's top left, 100 px apart, the second inside a link; each move
        // over the page is told.
        server_.route("/page.html", 200, "text/html",
                      "<html><body style='margin:0;height:100vh'>"
                      "<img src='/my%20cat.jpeg?w=200' width=200 height=250 "
                      "style='margin-right:100px'>"
                      "<a href='/elsewhere.html'><img src='/dog.jpg' width=200 height=250></a>"
                      "<script>"
                      "onmousemove = e => fetch('/at?' + [e.clientX, e.clientY, innerWidth, "
                      "innerHeight])</script></body></html>");
        server_.route("/my%20cat.jpeg", 200, "image/jpeg", pictures_[0]);
        server_.route("/dog.jpg", 200, "image/jpeg", pictures_[1]);
        server_.route("/elsewhere.html", 200, "text/html", "<html>a page</html>");
        server_.route("/at", 204, "text/plain", {});
    }
    void cleanupTestCase() { close(); }

    // Dragged from a focused browser onto the client where the client lies over the browser's
    // page: saved only where the client is above the browser.
    void dropsFromWaylandBrowsers_data() {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<int>("picture");   // on the page, from the left
        QTest::addColumn<QPoint>("target"); // in the client
        QTest::addColumn<QString>("saved"); // under the home folder
        QTest::newRow("Firefox, onto the picture")
            << "firefox-esr" << 0 << QPoint(30, 30) << "Desktop/my cat.jpg";
        QTest::newRow("Firefox, a linked picture onto a label")
            << "firefox-esr" << 1 << QPoint(30, 105) << "Pics/dog.jpg";
        QTest::newRow("Chromium, a linked picture onto the picture")
            << "chromium" << 1 << QPoint(30, 30) << "Desktop/dog.jpg";
        QTest::newRow("Chromium, onto a label")
            << "chromium" << 0 << QPoint(30, 105) << "Pics/my cat.jpg";
    }
    void dropsFromWaylandBrowsers() {
        QFETCH(QString, browser);
        QFETCH(int, picture);
        QFETCH(QPoint, target);
        QFETCH(QString, saved);
        if (QStandardPaths::findExecutable(browser).isEmpty())
            QSKIP(qPrintable(browser + " is not installed"));
        QVERIFY2(open(browser), "the browser showed no page on the Wayland session");
        QVERIFY2(
            run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(web_.processId())})
                .isEmpty(),
            "the browser runs through XWayland");
        TestHome home;
        QDir().mkpath(home.path() + "/Pics");
        // On top, Large, well inside the page's right half.
        const QPoint at = page_.topLeft() + QPoint(page_.width() - 220, 60);
        writeFile(
            home.settingsFile(),
            previousRun({"alwaysontop=True", "clientsize=LARGE", "windowsfolder=" + home.path(),
                         "left= " + QString::number(at.x() * 15),
                         "top= " + QString::number(at.y() * 15), "correctquerystringnames=True",
                         "showsavesrrormessage=False", "playconfirmsound=False"},
                        {home.path() + "/Pics"}));
        SessionKelvane kelvane(home);
        const QString id = kelvane.startShown({"quiet"});
        QVERIFY2(!id.isEmpty(), "no client on XWayland");
        QTRY_COMPARE(windowPosition(id), at);
        QVERIFY2(page_.contains(at + target), "the client is not over the page");
        QVERIFY(isAbove(id));
        QVERIFY(dragFromBrowser(page_.topLeft() + QPoint(100 + 300 * picture, 170), at + target,
                                *pointer_));
        const QString file = home.path() + '/' + saved;
        QTRY_VERIFY2_WITH_TIMEOUT(readBytes(file) == pictures_[picture], qPrintable(file), 20000);
        // A right click there, with the browser focused by the drag: the client's menu comes.
        const QString pid = QString::number(kelvane.processId());
        const auto windows = [&] {
            return run("xdotool", {"search", "--onlyvisible", "--pid", pid});
        };
        const QString before = windows();
        QVERIFY(pointer_->play({{at + QPoint(30, 30), 3, 100}, {at + QPoint(30, 30), -3}}));
        QTRY_VERIFY2(windows().size() > before.size(), "the click did not reach the client");
        QVERIFY(kelvane.terminate());
    }

    // The first start follows the browsers: with one open the client shows, without it hides.
    void followsWaylandBrowser() {
        if (QStandardPaths::findExecutable("chromium").isEmpty())
            QSKIP("chromium is not installed");
        QVERIFY2(open("chromium"), "the browser showed no page on the Wayland session");
        TestHome home;
        SessionKelvane kelvane(home);
        const QString id = kelvane.startShown({}, 20000);
        QVERIFY2(!id.isEmpty(), "no client with a browser open");
        QTest::qWait(2000); // many looks for a browser later
        QVERIFY2(isMapped(id), "the client hid with a browser open");
        close(); // a loaded machine may take seconds to end all of the browser's processes
        QTRY_VERIFY2_WITH_TIMEOUT(!isMapped(id), "the client stayed with the browser closed",
                                  25000);
        QVERIFY(kelvane.terminate());
    }

    // No tray to bring it back: a second start shows the client the first start hid.
    void secondStartShowsHiddenClient() {
        TestHome home;
        writeFile(home.settingsFile(), previousRun({"synchronizewithinternetexplorer=False"}));
        SessionKelvane hidden(home);
        hidden.start({"hidden"});
        const auto shown = [&] {
            return run("xdotool", {"search", "--onlyvisible", "--pid",
                                   QString::number(hidden.processId()), "--name", "^Kelvane$"});
        };
        QTest::qWait(3000); // its start-up done: nothing shows that it is
        QVERIFY2(shown().isEmpty(), "a hidden start showed the client");
        SessionKelvane second(home);
        second.start();
        QVERIFY(second.waitForFinished(10000));
        QTRY_VERIFY2_WITH_TIMEOUT(!shown().isEmpty(), "the second start left the client hidden",
                                  10000);
        QVERIFY(hidden.terminate());
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
