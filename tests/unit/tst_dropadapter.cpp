// The local file a drag names; drops without one made into files: routes, names, failures.
#include "HttpServer.h"
#include "TestFiles.h"
#include "platform/drops/DropAdapter.h"
#include "platform/drops/DropNaming.h"
#include "platform/drops/FileList.h"

#include <QMimeData>
#include <QStringEncoder>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

using namespace kelvane;
using namespace kelvane::drops;
using namespace kelvane::test;

namespace {

const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\xE0 original picture ", 21).repeated(500);
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1A\n re-encoded", 19);

QByteArray utf16(const QString& text) {
    return QStringEncoder(QStringEncoder::Utf16LE)(text);
}

struct Result {
    QString file, error;
    bool arrived = false;
};

} // namespace

class TestDropAdapter : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    HttpServer server_;
    char directAnswer_ = 0;  // how the scripted browser answers a direct save
    QString writeElsewhere_; // the address it says it wrote to, when not the one asked for
    QString linkTo_;         // a file it links where it was asked to write, with "ln -s" or "ln"
    bool symlink_ = false;

    std::unique_ptr<DropAdapter> adapter() {
        auto a = std::make_unique<DropAdapter>(
            [this](const QMimeData&, const QString& uri) {
                if (!linkTo_.isEmpty()) {
                    const QByteArray from = QFile::encodeName(linkTo_);
                    const QByteArray to = QFile::encodeName(QUrl(uri).toLocalFile());
                    (void)(symlink_ ? ::symlink(from, to) : ::link(from, to));
                } else if (directAnswer_ == 'S' && writeElsewhere_.isEmpty()) {
                    // The browser answers with an empty file and writes it a moment later.
                    QFile(QUrl(uri).toLocalFile()).open(QIODevice::WriteOnly);
                    QTimer::singleShot(20, [uri] { writeFile(QUrl(uri).toLocalFile(), kJpeg); });
                }
                return DirectSaveAnswer{directAnswer_, writeElsewhere_};
            },
            [] { return QStringLiteral("proposed name.jpeg"); }, DropCache(cache()));
        a->setLimits({2000, 1 << 20, 5});
        return a;
    }
    QString cache() const { return dir_.path() + "/cache"; }
    QStringList cachedFiles() const {
        QStringList files;
        for (const QFileInfo& drop : QDir(cache()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
            files += QDir(drop.filePath()).entryList(QDir::Files | QDir::Hidden);
        return files;
    }
    static Result drop(DropAdapter& a, const QMimeData& data) {
        Result r;
        a.receive(&data, {[&r](const QString& f, const QString& e) { r = {f, e, true}; }, {}});
        (void)QTest::qWaitFor([&r] { return r.arrived; }, 10000);
        return r;
    }

private Q_SLOTS:
    void init() {
        directAnswer_ = 0;
        writeElsewhere_.clear();
        linkTo_.clear();
        QDir(cache()).removeRecursively();
        server_.route("/my%20cat.jpeg", 200, "image/jpeg", kJpeg);
        server_.route("/page.html", 200, "text/html", "<html><body>a page</body></html>");
        server_.route("/page-as-picture.jpg", 200, "image/jpeg", "<html>no picture</html>");
        server_.route("/stalls.jpg", 200, "image/jpeg", {}, {}, HttpServer::Mode::Stall);
        server_.route("/endless.jpg", 200, "image/jpeg", kJpeg, {}, HttpServer::Mode::Endless);
        server_.route("/loop.jpg", 302, "text/plain", {}, "Location: /loop.jpg\r\n");
        server_.route("/to-file.jpg", 302, "text/plain", {}, "Location: file:///etc/passwd\r\n");
        server_.route("/elsewhere.jpg", 301, "text/plain", {}, "Location: /my%20cat.jpeg\r\n");
        server_.route("/..%2F..%2Fescape", 200, "image/jpeg", kJpeg);
    }

    // Each browser's drag, read the way that gives the original JPEG; the name never climbs.
    // An address that fails leaves nothing, down to a direct save outside the cache.
    void drops_data() {
        QTest::addColumn<QString>("drag");   // a browser's, image data only, or an address here
        QTest::addColumn<char>("answer");    // to a direct save: S saved, E error, F fetch; 0 none
        QTest::addColumn<QString>("cached"); // "" when the drop fails
        QTest::newRow("firefox saves") << "firefox" << 'S' << "my%20cat.jpeg";
        QTest::newRow("firefox fails, fetched") << "firefox" << 'E' << "my%20cat.jpeg";
        QTest::newRow("chromium, a picture in a link") << "chromium" << 'F' << "my%20cat.jpeg";
        QTest::newRow("image data only") << "image data only" << '\0' << "image.png";
        QTest::newRow("address that climbs") << "/..%2F..%2Fescape" << '\0' << "%2F..%2Fescape.jpg";
        for (const char* path : {"/missing.jpg", "/page-as-picture.jpg", "/stalls.jpg",
                                 "/endless.jpg", "/loop.jpg", "/to-file.jpg"})
            QTest::newRow(path) << path << '\0' << "";
        QTest::newRow("saved outside the cache") << "/elsewhere.jpg" << 'S' << "";
        QTest::newRow("symbolic link out of the cache") << "/symlink.jpg" << 'S' << "";
        QTest::newRow("hard link out of the cache") << "/hardlink.jpg" << 'S' << "";
    }
    void drops() {
        QFETCH(QString, drag);
        QFETCH(char, answer);
        QFETCH(QString, cached);
        directAnswer_ = answer;
        const QString image = server_.url("/my%20cat.jpeg") + "?w=200";
        QMimeData data;
        if (drag == "firefox") {
            data.setUrls({QUrl(image)});
            data.setData("application/x-moz-file-promise-url", utf16(image));
            data.setData("image/png", kPng);
        } else if (drag == "chromium") { // its file list names the link
            const QString link = server_.url("/page.html");
            data.setUrls({QUrl(link)});
            data.setData("text/html", "\xFF\xFE" + utf16("<a href=\"" + link + "\"><img src=\"" +
                                                         image + "\"></a>"));
            data.setData("application/octet-stream", kJpeg);
        } else if (drag == "image data only") {
            data.setData("image/png", kPng);
        } else {
            data.setUrls({QUrl::fromEncoded(server_.url(drag.toLatin1()).toLatin1())});
        }
        if (answer)
            data.setData("XdndDirectSave0", {});
        const QString elsewhere = dir_.path() + "/elsewhere.jpg";
        writeFile(elsewhere, kJpeg);
        if (drag == "/elsewhere.jpg")
            writeElsewhere_ = QUrl::fromLocalFile(elsewhere).toString();
        if (drag.endsWith("link.jpg"))
            linkTo_ = elsewhere;
        symlink_ = drag == "/symlink.jpg";
        const Result r = drop(*adapter(), data);
        QVERIFY2(r.arrived && r.file.isEmpty() == cached.isEmpty(), qPrintable(r.error + r.file));
        QVERIFY(!cached.isEmpty() || cachedFiles().isEmpty());
        if (cached.isEmpty())
            return;
        QCOMPARE(QFileInfo(r.file).fileName(), cached);
        QVERIFY(QFileInfo(r.file).absolutePath().startsWith(cache() + "/drop-"));
        QCOMPARE(readBytes(r.file), drag == "image data only" ? kPng : kJpeg);
    }

    // The program's end in the middle of a download leaves nothing in the cache.
    void endingMidDownloadLeavesNothing() {
        auto a = adapter();
        a->setLimits({10000, 1 << 30, 5});
        QMimeData data;
        data.setUrls({QUrl(server_.url("/endless.jpg"))});
        a->receive(&data, {});
        QVERIFY(QTest::qWaitFor([this] { return !cachedFiles().isEmpty(); }, 5000));
        a.reset();
        QVERIFY(QDir(cache()).isEmpty());
    }

    // A server faster than the program sends no further ahead of the file than the read
    // buffer and the sockets hold, however long the program is busy: memory stays bounded.
    void aFastServerWaitsForTheProgram() {
        const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t length = sizeof address;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                ::listen(listener, 1) == 0 &&
                ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0);
        std::atomic<qint64> sent = 0;
        std::thread server([listener, &sent] { // endless bytes, as fast as they are taken
            const int c = ::accept(listener, nullptr, nullptr);
            char request[4096];
            (void)::recv(c, request, sizeof request, 0);
            const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n\r\n";
            const QByteArray body = kJpeg.repeated(100);
            (void)::send(c, head.constData(), head.size(), MSG_NOSIGNAL);
            for (ssize_t n; (n = ::send(c, body.constData(), body.size(), MSG_NOSIGNAL)) > 0;)
                sent += n;
            ::close(c);
        });
        const auto end = qScopeGuard([&] {
            ::shutdown(listener, SHUT_RDWR);
            ::close(listener);
            server.join();
        });
        auto a = adapter();
        a->setLimits({20000, 1LL << 40, 5});
        QMimeData data;
        data.setUrls(
            {QUrl(QStringLiteral("http://127.0.0.1:%1/a.jpg").arg(ntohs(address.sin_port)))});
        a->receive(&data, {});
        QVERIFY(QTest::qWaitFor([this] { return !cachedFiles().isEmpty(); }, 5000));
        QThread::msleep(1000); // busy
        const QString drop = QDir(cache()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
        const qint64 written = QFileInfo(cache() + '/' + drop + "/a.jpg").size();
        QVERIFY2(sent - written < 64 << 20, qPrintable(QString::number(sent - written)));
        a.reset(); // the server's next send fails
    }

    // Drag-over names the file a drop gives (for the manual save); text alone gives none.
    void draggedFileNamesTheCachedFile() {
        QMimeData data, text;
        data.setUrls({QUrl(server_.url("/my%20cat.jpeg") + "?w=200")});
        QCOMPARE(QFileInfo(adapter()->draggedFile(&data)).fileName(), "my%20cat.jpeg");
        text.setText("just text");
        QVERIFY(adapter()->draggedFile(&text).isEmpty());
        const Result r = drop(*adapter(), text);
        QVERIFY(r.arrived && r.file.isEmpty());
    }

    void safeNames() {
        QCOMPARE(safeName("a/b.jpg"), "a_b.jpg");
        QCOMPARE(safeName("..hidden.jpg"), "hidden.jpg");
        QCOMPARE(safeName(u"\u3000.bashrc"_qs), "bashrc"); // a dot behind any white space
        QCOMPARE(safeName(u" \u200b\u00a0.\u2003.x"_qs), "x");
        QCOMPARE(safeName("a\tb\x01.jpg"), "ab.jpg");
        QCOMPARE(safeName("..."), "image");
        QCOMPARE(safeName(QString(300, 'x') + ".jpg"), QString(196, 'x') + ".jpg");
    }

    void oldDropsGoAtStartAndTheCacheStaysSmall() {
        DropCache cache(this->cache());
        const QString old = cache.newDropFolder();
        writeFile(old + "/x.jpg", "x");
        const utimbuf twoDaysAgo{time(nullptr) - 2 * 86400, time(nullptr) - 2 * 86400};
        QCOMPARE(utime(QFile::encodeName(old).constData(), &twoDaysAgo), 0);
        const QString fresh = cache.newDropFolder();
        cache.removeOldDrops();
        QVERIFY(!QFileInfo::exists(old) && QFileInfo::exists(fresh));
        // A cache folder that is a link: the old drops in its target are not this cache's.
        const QString target = dir_.path() + "/target";
        const QString theirs = DropCache(target).newDropFolder();
        QCOMPARE(utime(QFile::encodeName(theirs).constData(), &twoDaysAgo), 0);
        QVERIFY(QFile::link(target, dir_.path() + "/linked"));
        DropCache(dir_.path() + "/linked").removeOldDrops();
        QVERIFY(QFileInfo::exists(theirs));
        for (int i = 0; i < 3 * DropCache::kKeep; ++i)
            QVERIFY(!cache.newDropFolder().isEmpty());
        QCOMPARE(QDir(this->cache()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
                 DropCache::kKeep);
    }

    // The file a drag's text/uri-list names first; never one a NUL would cut short.
    void firstLocalFile_data() {
        QTest::addColumn<QByteArray>("uriList");
        QTest::addColumn<QString>("file");
        QTest::newRow("first of two")
            << QByteArray("file:///t/a.jpg\r\nfile:///t/b.jpg") << "/t/a.jpg";
        QTest::newRow("after a comment, decoded")
            << QByteArray("# a comment\r\n\r\nfile:///t/my%20cat.jpg") << "/t/my cat.jpg";
        QTest::newRow("web address") << QByteArray("https://example.com/a.jpg") << "";
        QTest::newRow("escaped NUL") << QByteArray("file:///t/photo%00.jpg") << "";
        QTest::newRow("escaped percent, decoded once")
            << QByteArray("file:///t/photo%2500.jpg") << "/t/photo%00.jpg";
    }
    void firstLocalFile() {
        QFETCH(QByteArray, uriList);
        QFETCH(QString, file);
        QMimeData data;
        data.setData("text/uri-list", uriList);
        QCOMPARE(drops::firstLocalFile(&data), file);
    }
};

QTEST_GUILESS_MAIN(TestDropAdapter)
#include "tst_dropadapter.moc"
