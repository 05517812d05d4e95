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
const QByteArray kGif = QByteArray("GIF89a\x01\x00\x01\x00\x00\xFF\x00,", 14);
const QString kPromiseUrl = "application/x-moz-file-promise-url", kName = "$/my%20cat.jpeg?w=200";

// A drag's formats and what each holds: "JPEG" and "PNG" stand for those pictures, "$" for the
// test server's address. What the scripted browser does on a direct save is under
// XdndDirectSave0: writes those bytes, or "@elsewhere", "@symlink", "@hardlink".
using Formats = QMap<QString, QString>;

Formats with(Formats formats, const Formats& more) {
    formats.insert(more);
    return formats;
}

struct Result {
    QString file, remark;
    bool arrived = false;
};

} // namespace

class TestDropAdapter : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    HttpServer server_;
    char directAnswer_ = 0; // how the scripted browser answers a direct save
    QString browserWrites_; // and what it writes

    QByteArray bytes(const QString& format, const QString& value) const {
        if (value == "JPEG" || value == "PNG")
            return value == "JPEG" ? kJpeg : kPng;
        const QString text = QString(value).replace("$", server_.url(""));
        return format.startsWith("application/x-moz")
                   ? QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text))
                   : text.toUtf8();
    }
    std::unique_ptr<DropAdapter> adapter() {
        auto a = std::make_unique<DropAdapter>(
            [this](const QMimeData&, const QString& uri) -> DirectSaveAnswer {
                const QString to = QUrl(uri).toLocalFile(), from = dir_.path() + "/elsewhere.jpg";
                writeFile(from, kJpeg);
                if (browserWrites_ == "@elsewhere")
                    return {directAnswer_, QUrl::fromLocalFile(from).toString()};
                if (browserWrites_.startsWith("@")) // a link where it was asked to write
                    (void)(browserWrites_ == "@symlink" ? ::symlink : ::link)(
                        QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
                else if (directAnswer_ == 'S') { // an empty file at once, written a moment later
                    QFile(to).open(QIODevice::WriteOnly);
                    QTimer::singleShot(20,
                                       [=, b = bytes({}, browserWrites_)] { writeFile(to, b); });
                }
                return {directAnswer_, {}};
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

private Q_SLOTS:
    void init() {
        QDir(cache()).removeRecursively();
        server_.route("/my%20cat.jpeg", 200, "image/jpeg", kJpeg);
        server_.route("/hotlinked.jpg", 200, "image/jpeg", kJpeg);
        server_.need(
            "/hotlinked.jpg",
            {"Referer: " + server_.url("/").toLatin1(),
             "Accept: image/avif,image/webp,image/png,image/svg+xml,image/*;q=0.8,*/*;q=0.5"});
        server_.route("/page.html", 200, "text/html", "<html><body>a page</body></html>");
        server_.route("/page-as-picture.jpg", 200, "image/jpeg", "<html>no picture</html>");
        server_.route("/stalls.jpg", 200, "image/jpeg", {}, {}, HttpServer::Mode::Stall);
        server_.route("/endless.jpg", 200, "image/jpeg", kJpeg, {}, HttpServer::Mode::Endless);
        server_.route("/loop.jpg", 302, "text/plain", {}, "Location: /loop.jpg\r\n");
        server_.route("/to-file.jpg", 302, "text/plain", {}, "Location: file:///etc/passwd\r\n");
        server_.route("/..%2F..%2Fescape", 200, "image/jpeg", kJpeg);
    }

    // Each browser's drag made into the original picture where it offers one; the name never
    // climbs; a drop that fails says why and leaves nothing, down to a direct save outside the
    // cache. The file a drag over the client names is the one the drop gives.
    void drops_data() {
        QTest::addColumn<Formats>("formats");
        QTest::addColumn<char>("answer");  // to a direct save: S saved, E error, F failed
        QTest::addColumn<QString>("file"); // the cached file's name; "" when the drop fails
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("remark"); // part of the remark on the file, or of the error
        const Formats firefox{{"text/uri-list", kName},
                              {kPromiseUrl, kName},
                              {"image/png", "PNG"},
                              {"application/x-moz-file-promise-dest-filename", "red square.jpg"}};
        const Formats hotlinked = with(firefox, {{"text/uri-list", "$/hotlinked.jpg"},
                                                 {kPromiseUrl, "$/hotlinked.jpg"},
                                                 {"XdndDirectSave0", "forbidden"}});
        const QString jpegNamed = R"(application/octet-stream;name="%1")";
        const QString html = R"(<a href="$/page.html"><img src="%1"></a>)";
        QTest::newRow("firefox saves") << with(firefox, {{"XdndDirectSave0", "JPEG"}}) << 'S'
                                       << "proposed name.jpeg" << kJpeg << "";
        QTest::newRow("firefox fails, fetched") << with(firefox, {{"XdndDirectSave0", ""}}) << 'E'
                                                << "proposed name.jpeg" << kJpeg << "";
        QTest::newRow("firefox saves an error page, fetched")
            << with(firefox, {{"XdndDirectSave0", "forbidden"}}) << 'S' << "proposed name.jpeg"
            << kJpeg << "";
        QTest::newRow("firefox saves an error page, fetching refused")
            << hotlinked << 'S' << "" << QByteArray() << "403";
        QTest::newRow("firefox on Wayland, fetched under its name")
            << firefox << '\0' << "red square.jpg" << kJpeg << "";
        QTest::newRow("chromium, a picture in a link")
            << Formats{{"text/uri-list", "$/page.html"},
                       {"text/html", html.arg(kName)},
                       {"application/octet-stream", "JPEG"},
                       {"XdndDirectSave0", ""}}
            << 'F' << "proposed name.jpeg" << kJpeg << "";
        QTest::newRow("chromium on Wayland, bytes named in their type")
            << Formats{{"text/uri-list", kName + "\r\ntitle"},
                       {jpegNamed.arg("red square.jpg"), "JPEG"}}
            << '\0' << "red square.jpg" << kJpeg << "";
        QTest::newRow("a quoted name with a path and a control character")
            << Formats{{jpegNamed.arg(R"(../a\"b\u0001.jpg)").replace("\\u0001", "\x01"), "JPEG"}}
            << '\0' << "_a\"b.jpg" << kJpeg << "";
        QTest::newRow("bytes that are an error page, fetching refused")
            << Formats{{"text/uri-list", "$/hotlinked.jpg"},
                       {"application/octet-stream", "forbidden"}}
            << '\0' << "" << QByteArray() << "403";
        QTest::newRow("hot-linked, fetched from the page")
            << Formats{{"text/uri-list", "$/hotlinked.jpg"}, {"chromium/x-renderer-taint", "$"}}
            << '\0' << "hotlinked.jpg" << kJpeg << "";
        QTest::newRow("a title that looks like an address")
            << Formats{{"text/uri-list", "blob:$/1\r\n" + kName}} << '\0' << "" << QByteArray()
            << "";
        QTest::newRow("image data only, re-encoded")
            << Formats{{"image/png", "PNG"}} << '\0' << "image.png" << kPng << "re-encoded";
        QTest::newRow("data: address in base64")
            << Formats{{"text/uri-list", "data:image/gif;base64," + kGif.toBase64()},
                       {"application/x-moz-file-promise-dest-filename", "dot.gif"}}
            << '\0' << "dot.gif" << kGif << "";
        QTest::newRow("data: address, percent-encoded")
            << Formats{{"text/html", html.arg("data:image/gif," + kGif.toPercentEncoding())}}
            << '\0' << "image.gif" << kGif << "";
        QTest::newRow("data: address of text") << Formats{{"text/uri-list", "data:,GIF"}} << '\0'
                                               << "" << QByteArray() << "no picture";
        QTest::newRow("address that climbs") << Formats{{"text/uri-list", "$/..%2F..%2Fescape"}}
                                             << '\0' << "%2F..%2Fescape.jpg" << kJpeg << "";
        for (const char* path : {"/missing.jpg", "/page-as-picture.jpg", "/stalls.jpg",
                                 "/endless.jpg", "/loop.jpg", "/to-file.jpg"})
            QTest::newRow(path) << Formats{{"text/uri-list", "$" + QString(path)}} << '\0' << ""
                                << QByteArray() << "";
        for (const char* hostile : {"@elsewhere", "@symlink", "@hardlink"})
            QTest::newRow(hostile)
                << Formats{{"text/uri-list", "$/missing.jpg"}, {"XdndDirectSave0", hostile}} << 'S'
                << "" << QByteArray() << "";
        QTest::newRow("text") << Formats{{"text/plain", "just text"}} << '\0' << "" << QByteArray()
                              << "the drag carries no file";
    }
    void drops() {
        QFETCH(Formats, formats);
        QFETCH(char, answer);
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, remark);
        QMimeData data;
        for (auto [format, value] : formats.asKeyValueRange())
            data.setData(format, bytes(format, value));
        directAnswer_ = answer;
        browserWrites_ = formats.value("XdndDirectSave0");
        auto a = adapter();
        const QString dragged = a->draggedFile(&data);
        Result r;
        a->receive(&data, {[&r](const QString& f, const QString& e) { r = {f, e, true}; }, {}});
        QVERIFY(QTest::qWaitFor([&r] { return r.arrived; }, 10000));
        QCOMPARE(QFileInfo(r.file).fileName(), file);
        QVERIFY2(r.remark.contains(remark), qPrintable(r.remark));
        QCOMPARE(dragged.isEmpty(), r.remark == "the drag carries no file");
        if (file.isEmpty()) {
            QVERIFY(cachedFiles().isEmpty());
            return;
        }
        QVERIFY(file.startsWith(QFileInfo(dragged).fileName()));
        QVERIFY(r.file.startsWith(cache() + "/drop-"));
        QCOMPARE(readBytes(r.file), content);
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
