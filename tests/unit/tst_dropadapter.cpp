// Drops that carry no local file, as browsers hand them over, made into files: each route,
// the names they get, and downloads that must fail without leaving anything behind.
#include "HttpServer.h"
#include "platform/drops/DropAdapter.h"
#include "platform/drops/DropNaming.h"

#include <QDir>
#include <QMimeData>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <utime.h>

using namespace kelvane;
using namespace kelvane::drops;
using kelvane::test::HttpServer;

namespace {

const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\xE0 original picture ", 21).repeated(500);
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1A\n re-encoded", 19);

QByteArray utf16(const QString& text) {
    return QStringEncoder(QStringEncoder::Utf16LE)(text);
}

struct Result {
    QString file;
    QString error;
    bool arrived = false;
};

} // namespace

class TestDropAdapter : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    HttpServer server_;
    // How the scripted browser answers a direct save, and what it writes.
    char directAnswer_ = 0;
    QString writeElsewhere_;

    std::unique_ptr<DropAdapter> adapter() {
        auto a = std::make_unique<DropAdapter>(
            [this](const QMimeData&, const QString& uri) {
                DirectSaveAnswer answer{directAnswer_, {}};
                if (directAnswer_ == 'S') {
                    // The browser answers first and writes the file a moment later, in parts.
                    const QString path =
                        writeElsewhere_.isEmpty() ? QUrl(uri).toLocalFile() : writeElsewhere_;
                    QFile(path).open(QIODevice::WriteOnly);
                    QTimer::singleShot(20, [path] {
                        QFile f(path);
                        f.open(QIODevice::Append);
                        f.write(kJpeg.left(100));
                        f.flush();
                        QThread::msleep(30);
                        f.write(kJpeg.mid(100));
                    });
                    if (!writeElsewhere_.isEmpty())
                        answer.writtenUri = QUrl::fromLocalFile(writeElsewhere_).toString();
                }
                return answer;
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
        a.receive(&data, {[&r](const QString& file, const QString& error) {
                              r = {file, error, true};
                          },
                          {}});
        (void)QTest::qWaitFor([&r] { return r.arrived; }, 10000);
        return r;
    }

private Q_SLOTS:
    void init() {
        directAnswer_ = 0;
        writeElsewhere_.clear();
        QDir(cache()).removeRecursively();
        server_.route("/my%20cat.jpeg", 200, "image/jpeg", kJpeg);
        server_.route("/photo", 200, "image/jpeg", kJpeg);
        server_.route("/page.html", 200, "text/html", "<html><body>a page</body></html>");
        server_.route("/liar.jpg", 200, "image/jpeg", "<html>not a picture</html>");
        server_.route("/stall.jpg", 200, "image/jpeg", {}, {}, HttpServer::Mode::Stall);
        server_.route("/endless.jpg", 200, "image/jpeg", kJpeg, {}, HttpServer::Mode::Endless);
        server_.route("/loop.jpg", 302, "text/plain", {}, "Location: /loop.jpg\r\n");
        server_.route("/to-file.jpg", 302, "text/plain", {}, "Location: file:///etc/passwd\r\n");
        server_.route("/hop.jpg", 301, "text/plain", {}, "Location: /my%20cat.jpeg\r\n");
        server_.route("/a%2Fb.jpg", 200, "image/jpeg", kJpeg);
        server_.route("/..%2F..%2Fescape", 200, "image/jpeg", kJpeg);
    }

    // Each route alone, and each browser's whole set of formats: the file holds the
    // original bytes wherever the drag offers them, under the name a browser cache gives it.
    void routes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<char>("directAnswer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("firefox: direct save") << "firefox" << 'S' << "my%20cat.jpeg" << kJpeg;
        QTest::newRow("firefox: direct save fails, download")
            << "firefox" << 'E' << "my%20cat.jpeg" << kJpeg;
        QTest::newRow("chromium: octet-stream") << "chromium" << 'F' << "my%20cat.jpeg" << kJpeg;
        QTest::newRow("chromium: image inside a link")
            << "chromium-link" << 'F' << "my%20cat.jpeg" << kJpeg;
        QTest::newRow("address only") << "url" << char(0) << "my%20cat.jpeg" << kJpeg;
        QTest::newRow("no extension: from the bytes") << "photo" << char(0) << "photo.jpg" << kJpeg;
        QTest::newRow("image data only") << "image" << char(0) << "image.png" << kPng;
        QTest::newRow("escaped slash stays in the name")
            << "slash" << char(0) << "a%2Fb.jpg" << kJpeg;
        QTest::newRow("a name that climbs") << "dots" << char(0) << "%2F..%2Fescape.jpg" << kJpeg;
    }
    void routes() {
        QFETCH(QString, kind);
        QFETCH(char, directAnswer);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        directAnswer_ = directAnswer;
        const QString image = server_.url("/my%20cat.jpeg") + "?w=200";
        QMimeData data;
        if (kind == "firefox") {
            data.setUrls({QUrl(image)});
            data.setData("application/x-moz-file-promise-url", utf16(image));
            data.setData("XdndDirectSave0", {});
            data.setData("image/png", kPng);
        } else if (kind.startsWith("chromium")) {
            const QString link = kind == "chromium-link" ? server_.url("/page.html") : image;
            data.setUrls({QUrl(link)});
            data.setData("text/html", "\xFF\xFE" + utf16("<a href=\"" + link + "\"><img src=\"" +
                                                         image + "\"></a>"));
            data.setData("XdndDirectSave0", {});
            data.setData("application/octet-stream", kJpeg);
        } else if (kind == "image") {
            data.setData("image/png", kPng);
        } else {
            const QByteArray path = kind == "photo"   ? "/photo?id=7"
                                    : kind == "slash" ? "/a%2Fb.jpg"
                                    : kind == "dots"  ? "/..%2F..%2Fescape"
                                                      : "/my%20cat.jpeg?w=200";
            data.setUrls({QUrl::fromEncoded(
                "http://127.0.0.1:" + QByteArray::number(server_.serverPort()) + path)});
        }
        const Result r = drop(*adapter(), data);
        QVERIFY2(r.arrived && !r.file.isEmpty(), qPrintable(r.error));
        QCOMPARE(QFileInfo(r.file).fileName(), name);
        QVERIFY(QFileInfo(r.file).absolutePath().startsWith(cache() + "/drop-"));
        QFile f(r.file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
    }

    // Anything that is not a whole picture from an allowed place fails, and leaves nothing.
    void failures_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("404") << QByteArray("/missing.jpg");
        QTest::newRow("a page instead of a picture") << QByteArray("/page.html");
        QTest::newRow("a page sent as a picture") << QByteArray("/liar.jpg");
        QTest::newRow("server that never answers") << QByteArray("/stall.jpg");
        QTest::newRow("endless bytes") << QByteArray("/endless.jpg");
        QTest::newRow("redirect loop") << QByteArray("/loop.jpg");
        QTest::newRow("redirect to a local file") << QByteArray("/to-file.jpg");
        QTest::newRow("direct save outside the cache") << QByteArray("/hop.jpg");
    }
    void failures() {
        QFETCH(QByteArray, path);
        QMimeData data;
        data.setUrls({QUrl::fromEncoded(server_.url(path).toLatin1())});
        if (path == "/hop.jpg") {
            directAnswer_ = 'S';
            writeElsewhere_ = dir_.path() + "/elsewhere.jpg";
            data.setData("XdndDirectSave0", {});
        }
        const Result r = drop(*adapter(), data);
        QVERIFY2(r.arrived && r.file.isEmpty(), qPrintable(r.file));
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(cachedFiles(), QStringList());
    }

    void nothingToMakeAFileOf() {
        QMimeData data;
        data.setText("just text");
        const auto a = adapter();
        QVERIFY(a->draggedFile(&data).isEmpty());
        const Result r = drop(*a, data);
        QVERIFY(r.arrived && r.file.isEmpty());
    }

    // Drag-over names the file the drop will give, so a manual save offers its extension.
    void draggedFileNamesTheCachedFile() {
        QMimeData data;
        data.setUrls({QUrl(server_.url("/my%20cat.jpeg") + "?w=200")});
        QCOMPARE(QFileInfo(adapter()->draggedFile(&data)).fileName(), "my%20cat.jpeg");
    }

    void safeNames_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("safe");
        QTest::newRow("slash") << "a/b.jpg"
                               << "a_b.jpg";
        QTest::newRow("leading dots") << "..hidden.jpg"
                                      << "hidden.jpg";
        QTest::newRow("control characters") << "a\tb\x01.jpg"
                                            << "ab.jpg";
        QTest::newRow("nothing left") << "..."
                                      << "image";
        QTest::newRow("300 bytes") << QString(300, 'x') + ".jpg" << QString(196, 'x') + ".jpg";
    }
    void safeNames() {
        QFETCH(QString, raw);
        QFETCH(QString, safe);
        QCOMPARE(safeName(raw), safe);
    }

    void oldDropsGoAtStartAndTheCacheStaysSmall() {
        DropCache cache(this->cache());
        const QString old = cache.newDropFolder();
        QFile(old + "/x.jpg").open(QIODevice::WriteOnly);
        const utimbuf twoDaysAgo{time(nullptr) - 2 * 86400, time(nullptr) - 2 * 86400};
        QCOMPARE(utime(QFile::encodeName(old).constData(), &twoDaysAgo), 0);
        const QString fresh = cache.newDropFolder();
        cache.removeOldDrops();
        QVERIFY(!QFileInfo::exists(old));
        QVERIFY(QFileInfo::exists(fresh));
        for (int i = 0; i < 3 * DropCache::kKeep; ++i)
            QVERIFY(!cache.newDropFolder().isEmpty());
        QCOMPARE(QDir(this->cache()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
                 DropCache::kKeep);
    }
};

QTEST_GUILESS_MAIN(TestDropAdapter)
#include "tst_dropadapter.moc"
