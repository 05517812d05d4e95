// The local file a drag names; drops without one made into files: routes, names, failures.
#include "HttpServer.h"
#include "TestFiles.h"
#include "platform/drops/DropAdapter.h"
#include "platform/drops/DropNaming.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QProcess>
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

const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\xDA\0\2", 6) +
                         QByteArray(" original picture ").repeated(500) + "\xFF\xD9";
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1A\n re-encoded", 19);
const QByteArray kGif = QByteArray("GIF89a\x02\x00\x02\x00\x00\xFF\x00,", 14);
const QByteArray kTracker = [] { // a 1 x 1 PNG
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(1, 1, QImage::Format_RGB32).save(&buffer, "PNG");
    return png;
}();
const QString kPromiseUrl = "application/x-moz-file-promise-url", kName = "$/my%20cat.jpeg?w=200";

// A drag's formats and what each holds: "JPEG", "PNG" and "GIF" stand for those pictures, "$"
// for the test server's address. Under XdndDirectSave0, what the scripted browser does when
// asked to save: answers "E" when that is empty, else "S" and writes those bytes, or writes
// elsewhere ("@elsewhere"), or links a file from elsewhere ("@symlink", "@hardlink"), or runs
// "sh:" a script of its own that writes the JPEG's halves H and T to "$1".
using Formats = QMap<QString, QString>;

Formats with(Formats formats, const Formats& more) {
    formats.insert(more);
    return formats;
}

// A drag source that counts the requests for each format; asked for a silent one, it answers
// nothing, after a while (as the toolkit does when a source does not answer).
struct Source : QMimeData {
    mutable QMap<QString, int> asked;
    QStringList silent;
    QVariant retrieveData(const QString& format, QMetaType type) const override {
        ++asked[format];
        if (!silent.contains(format))
            return QMimeData::retrieveData(format, type);
        QThread::msleep(300);
        return {};
    }
};

} // namespace

class TestDropAdapter : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    HttpServer server_;
    QString browserWrites_; // what the scripted browser does when asked to save
    std::vector<std::unique_ptr<QProcess>> writers_;

    QByteArray bytes(const QString& format, const QString& value) const {
        if (value == "TRACKER")
            return kTracker;
        if (value == "JPEG" || value == "PNG" || value == "GIF")
            return value == "JPEG" ? kJpeg : value == "PNG" ? kPng : kGif;
        const QString text = QString(value).replace("$", server_.url(""));
        return format.startsWith("application/x-moz")
                   ? QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text))
                   : text.toUtf8();
    }
    std::unique_ptr<DropAdapter> adapter() {
        auto a = std::make_unique<DropAdapter>(
            [this](const auto& ask, const QString& uri) -> DirectSaveAnswer {
                (void)ask(); // the request
                const QString to = QUrl(uri).toLocalFile(), from = dir_.path() + "/elsewhere.jpg";
                writeFile(from, kJpeg);
                if (browserWrites_.isEmpty())
                    return {'E', {}};
                if (browserWrites_.startsWith("sh:")) {
                    writeFile(dir_.path() + "/H", kJpeg.first(kJpeg.size() / 2));
                    writeFile(dir_.path() + "/T", kJpeg.sliced(kJpeg.size() / 2));
                    auto& writer = writers_.emplace_back(std::make_unique<QProcess>());
                    writer->setWorkingDirectory(dir_.path());
                    writer->start("sh", {"-c", browserWrites_.mid(3), "sh", to});
                    writer->waitForFinished(300); // the answer a moment later: the file begun
                    return {'S', {}};
                }
                if (browserWrites_ == "@elsewhere")
                    return {'S', QUrl::fromLocalFile(from).toString()};
                if (browserWrites_.startsWith("@")) // a link where it was asked to write
                    (void)(browserWrites_ == "@symlink" ? ::symlink : ::link)(
                        QFile::encodeName(from).constData(), QFile::encodeName(to).constData());
                else { // an empty file at once, written a moment later
                    QFile(to).open(QIODevice::WriteOnly);
                    QTimer::singleShot(20,
                                       [=, b = bytes({}, browserWrites_)] { writeFile(to, b); });
                }
                return {'S', {}};
            },
            [] { return QStringLiteral("proposed name.jpeg"); }, DropCache(cache()));
        a->setLimits({3000, 1 << 20, 5, 200});
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
        for (auto& writer : std::exchange(writers_, {}))
            writer->kill(), writer->waitForFinished();
        QDir(cache()).removeRecursively();
        server_.route("/my%20cat.jpeg", 200, "image/jpeg", kJpeg);
        server_.route("/hotlinked.jpg", 200, "image/jpeg", kJpeg);
        server_.route("/pictures/", 200, "image/jpeg", kJpeg);
        server_.need(
            "/hotlinked.jpg",
            {"Referer: " + server_.url("/").toLatin1(),
             "Accept: image/avif,image/webp,image/png,image/svg+xml,image/*;q=0.8,*/*;q=0.5"});
        server_.route("/page-as-picture.jpg", 200, "image/jpeg", "<html>no picture</html>");
        server_.route("/stalls.jpg", 200, "image/jpeg", {}, {}, HttpServer::Mode::Stall);
        server_.route("/endless.jpg", 200, "image/jpeg", kJpeg, {}, HttpServer::Mode::Endless);
        server_.route("/loop.jpg", 302, "text/plain", {}, "Location: /loop.jpg\r\n");
        server_.route("/to-file.jpg", 302, "text/plain", {}, "Location: file:///etc/passwd\r\n");
        server_.route("/..%2F..%2Fescape", 200, "image/jpeg", kJpeg);
    }

    static void row(const char* name, const Formats& formats, const QString& file,
                    const QString& content = {}, const QString& remark = {}) {
        QTest::newRow(name) << formats << file << content << remark;
    }

    // Each browser's drag made into the original picture where it offers one; the name never
    // climbs; a drop that fails says why and leaves nothing, down to a direct save outside the
    // cache. A local file is the file list's first, never one a NUL would cut short. A drag over
    // the client asks for no data: it names the file where the type list does. The drop asks
    // for a format once at most, for image data last, for nothing more once the source is slow.
    void drops_data() {
        QTest::addColumn<Formats>("formats");
        QTest::addColumn<QString>("file");    // a local file, the cached file's name, or "": none
        QTest::addColumn<QString>("content"); // of the cached file
        QTest::addColumn<QString>("remark");  // part of the remark on the file, or of the error
        const QString uris = "text/uri-list", octets = "application/octet-stream";
        const QString direct = "XdndDirectSave0", named = R"(application/octet-stream;name="%1")";
        const QString dest = "application/x-moz-file-promise-dest-filename";
        const QString html = R"(<a href="$/page.html"><img src="%1"></a>)";
        const Formats firefox{
            {uris, kName}, {kPromiseUrl, kName}, {"image/png", "PNG"}, {dest, "red square.jpg"}};
        const Formats hotlinked =
            with(firefox,
                 {{uris, "$/hotlinked.jpg"}, {kPromiseUrl, "$/hotlinked.jpg"}, {direct, "403"}});
        row("firefox saves", with(firefox, {{direct, "JPEG"}}), "proposed name.jpeg", "JPEG");
        row("firefox fails, fetched", with(firefox, {{direct, ""}}), "proposed name.jpeg", "JPEG");
        row("firefox saves a PNG under a JPEG's name", with(firefox, {{direct, "PNG"}}),
            "proposed name.png", "PNG");
        row("firefox saves an error page, fetched", with(firefox, {{direct, "403 forbidden"}}),
            "proposed name.jpeg", "JPEG");
        row("firefox saves an error page, fetching refused", hotlinked, "", "", "403");
        row("firefox on Wayland, fetched under its name", firefox, "red square.jpg", "JPEG");
        row("chromium, a picture in a link",
            {{uris, "$/page.html"}, {"text/html", html.arg(kName)}, {octets, "JPEG"}},
            "my%20cat.jpeg", "JPEG");
        row("chromium on Wayland, bytes named in their type",
            {{uris, kName + "\r\ntitle"}, {named.arg("red square.jpg"), "JPEG"}}, "red square.jpg",
            "JPEG");
        row("chromium, a name in UTF-8 as the toolkit reads it",
            {{named.arg(QString::fromLatin1(QString("café ü.jpg").toUtf8())), "JPEG"}},
            "café ü.jpg", "JPEG");
        row("a quoted name with a path and a control character",
            {{named.arg(R"(../a\"b)" + QString("\x01.jpg")), "JPEG"}}, "_a\"b.jpg", "JPEG");
        row("bytes that are an error page, fetching refused",
            {{uris, "$/hotlinked.jpg"}, {octets, "forbidden"}}, "", "", "403");
        row("hot-linked, fetched from the page",
            {{uris, "$/hotlinked.jpg"}, {"chromium/x-renderer-taint", "$"}}, "hotlinked.jpg",
            "JPEG");
        row("an address with no name: the picture's alt text",
            {{uris, "$/pictures/"},
             {"text/html", R"(<img title=t data-alt="x" alt="A red &amp; square">)"}},
            "A red & square.jpg", "JPEG");
        row("a title that looks like an address", {{uris, "blob:$/1\r\n" + kName}}, "");
        row("chromium, a blob: address: its identifier is no name",
            {{uris, "blob:$/0e1f-2a"}, {named.arg("0e1f-2a.jpg"), "JPEG"}, {"text/html", "<img>"}},
            "image.jpg", "JPEG");
        row("image data only", {{"image/png", "PNG"}}, "image.png", "PNG", "re-encoded");
        row("data: address in base64",
            {{uris, "data:image/gif;base64," + kGif.toBase64()}, {dest, "dot.gif"}}, "dot.gif",
            "GIF");
        row("data: address, percent-encoded",
            {{"text/html", html.arg("data:image/gif," + kGif.toPercentEncoding())}}, "image.gif",
            "GIF");
        row("data: address of text", {{uris, "data:,GIF"}}, "", "", "no picture");
        row("a 1-pixel tracker", {{octets, "TRACKER"}}, "", "", "tracker");
        row("address that climbs", {{uris, "$/..%2F..%2Fescape"}}, "%2F..%2Fescape.jpg", "JPEG");
        for (const char* path : {"/missing.jpg", "/page-as-picture.jpg", "/stalls.jpg",
                                 "/endless.jpg", "/loop.jpg", "/to-file.jpg"})
            row(path, {{uris, "$" + QString(path)}}, "");
        for (const char* hostile : {"@elsewhere", "@symlink", "@hardlink"})
            row(hostile, {{uris, "$/missing.jpg"}, {direct, hostile}}, "");
        // A writer of its own, holding the file open however long it pauses; cut off by a full
        // disk (here its file size limit), it closes a file that is no whole picture.
        row("the writer pauses", {{direct, R"(sh:{ cat H; sleep 2; cat T; } >"$1")"}},
            "proposed name.jpeg", "JPEG");
        row("the writer renames its temporary into place",
            {{direct, R"(sh:{ cat H; sleep 1; cat T; } >"$1.part" && mv "$1.part" "$1")"}},
            "proposed name.jpeg", "JPEG");
        row("the writer never closes", {{direct, R"(sh:{ cat H; exec sleep 60; } >"$1")"}}, "", "",
            "in time");
        row("the writer's disk fills", {{direct, R"(sh:ulimit -f 1; cat H T >"$1")"}}, "", "",
            "cut short");
        row("text", {{"text/plain", "just text"}}, "", "", "the drag carries no file");
        row("a source that does not answer", {{uris, "SILENT"}, {octets, "SILENT"}}, "", "",
            "the drag source did not answer");
        row("local files", {{uris, "# a comment\r\n\r\nfile:///t/my%20cat.jpg\r\nfile:///b"}},
            "/t/my cat.jpg");
        row("escaped NUL", {{uris, "file:///t/photo%00.jpg"}}, "", "", "no file");
        row("escaped percent, decoded once", {{uris, "file:///t/photo%2500.jpg"}},
            "/t/photo%00.jpg");
    }
    void drops() {
        QFETCH(Formats, formats);
        QFETCH(QString, file);
        QFETCH(QString, content);
        QFETCH(QString, remark);
        Source data;
        for (auto [format, value] : formats.asKeyValueRange()) {
            data.setData(format, bytes(format, value));
            if (value == "SILENT")
                data.silent << format;
        }
        browserWrites_ = formats.value("XdndDirectSave0");
        auto a = adapter();
        const QString dragged = a->draggedFile(&data);
        QVERIFY(data.asked.isEmpty());
        QStringList r; // the file and the remark
        a->receive(&data, {[&r](const QString& f, const QString& e) { r = {f, e}; }, {}});
        QVERIFY(QTest::qWaitFor([&r] { return !r.isEmpty(); }, 10000));
        QVERIFY2(r[1].contains(remark), qPrintable(r[1]));
        QCOMPARE(dragged.isEmpty(),
                 r[1] == "the drag carries no file" && !formats.contains("text/uri-list"));
        QVERIFY2(std::ranges::all_of(data.asked, [](int n) { return n == 1; }),
                 qPrintable(QDebug::toString(data.asked)));
        QCOMPARE(data.asked.contains("image/png"), remark == "re-encoded");
        QVERIFY2(!remark.contains("did not answer") || data.asked.size() == 1,
                 qPrintable(QDebug::toString(data.asked)));
        const bool local = file.startsWith('/');
        QCOMPARE(local ? r[0] : QFileInfo(r[0]).fileName(), file);
        QCOMPARE(cachedFiles().isEmpty(), file.isEmpty() || local);
        if (file.isEmpty())
            return;
        // A stand-in name over the client; the bytes may add an extension to it, or change it,
        // and the drop may find it no name.
        const QString standIn = QFileInfo(dragged).fileName();
        QVERIFY(dragged.startsWith(cache() + "/drop/") &&
                (standIn == "image" || file.startsWith("image.") || file.startsWith(standIn) ||
                 QFileInfo(file).completeBaseName() == QFileInfo(standIn).completeBaseName()));
        QVERIFY(local || r[0].startsWith(cache() + "/drop-"));
        QCOMPARE(local ? QByteArray() : readBytes(r[0]), bytes({}, content));
    }

    // A server faster than the program sends no further ahead of the file than the read
    // buffer and the sockets hold, however long the program is busy: memory stays bounded.
    // The program's end in the middle of the download leaves nothing in the cache.
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
            const QByteArray head = "HTTP/1.1 200 OK\r\n\r\n", body = kJpeg.repeated(100);
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
        QVERIFY(QDir(cache()).isEmpty());
    }

    // A cached file's name: the address's escapes decoded as UTF-8, but not a space's (the
    // naming rules decide it), nor "/", a control character or bytes that are no UTF-8; then
    // the extension its first bytes call for. An SVG is told from its bytes, a page holding one
    // is no picture.
    void namesAndTypes_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("name");
        const QByteArray jpeg = kJpeg.left(8), svg = "<svg xmlns='http://www.w3.org/2000/svg'/>";
        const auto row = [](const char* what, const QString& address, const QByteArray& head,
                            const QString& name) {
            QTest::newRow(what) << "http://h/" + address << head << name;
        };
        row("UTF-8", "caf%C3%A9.jpg", jpeg, u"café.jpg"_qs);
        row("apostrophe, blank", "Zo%C3%AB's%20(copy).png", kPng, u"Zoë's%20(copy).png"_qs);
        row("cache brackets", "sunset%5B1%5D.jpg?x=%41", jpeg, "sunset[1].jpg");
        row("slash, NUL, line break", "a%2Fb%00c%0Ad%25.jpg", jpeg, "a%2Fb%00c%0Ad%.jpg");
        row("no UTF-8, lower case kept", "x%e9%ZZ.jpg", jpeg, "x%e9%ZZ.jpg");
        row("no extension", "img?id=7", jpeg, "img.jpg");
        row("another type's", "photo.jpg",
            QByteArray("\0\0\0\x1c"
                       "ftypavif",
                       12),
            "photo.avif");
        row("one of its own", "cat.JPEG", jpeg, "cat.JPEG");
        row("no picture's", "cat.php", kPng, "cat.php.png");
        row("SVG", "drawing", svg, "drawing.svg");
        row("SVG declared, a doctype", "drawing",
            "<?xml version='1.0'?>\n<!DOCTYPE svg PUBLIC '-//W3C//DTD SVG 1.1//EN'>\n" + svg,
            "drawing.svg");
        row("SVG after a mark, blanks, a comment", "drawing", "\xEF\xBB\xBF \n<!-- x -->" + svg,
            "drawing.svg");
        row("a page holding an SVG", "page", "<!-- x --><html><body>" + svg, "page");
        row("a page", "page", "<!DOCTYPE html><html>", "page");
    }
    void namesAndTypes() {
        QFETCH(QString, address);
        QFETCH(QByteArray, head);
        QFETCH(QString, name);
        QCOMPARE(withImageExtension(nameFromUrl(QUrl(address)), imageType(head)), name);
    }

    void safeNames() {
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
};

QTEST_GUILESS_MAIN(TestDropAdapter)
#include "tst_dropadapter.moc"
