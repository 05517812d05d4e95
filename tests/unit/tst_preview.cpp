#include "TestFiles.h"
#include "saving/Preview.h"

#include <QDataStream>

using namespace kelvane;
using namespace kelvane::test;

class TestPreview : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    // The headers of an uncompressed 24-bit BMP of width x height.
    static QByteArray bmpHeader(int width, int height) {
        const quint32 pixels = quint32((width * 3 + 3) & ~3) * quint32(height);
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("BM", 2);
        out << quint32(54 + pixels) << quint32(0) << quint32(54) << quint32(40) << qint32(width)
            << qint32(height) << quint16(1) << quint16(24) << quint32(0) << quint32(pixels)
            << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
        return bytes;
    }

private Q_SLOTS:
    // A picture of 8200 x 8200 needs more than the 256 MiB a decoder may take by default.
    void hugePictureIsShownSmall() {
        const int side = 8200;
        writeFile(path("huge.bmp"), bmpHeader(side, side));
        QVERIFY(QFile::resize(path("huge.bmp"), 54 + qint64(side * 3) * side)); // pixels: a hole
        const QImage image = decodePreview(path("huge.bmp"), QSize(72, 90));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(144, 144)); // twice the box at most, the picture square
    }

    void badFilesGiveNoPicture_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("<html>404 Not Found</html>");
        QTest::newRow("JPEG cut short") << QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
        QTest::newRow("BMP of 30000 x 30000, header only") << bmpHeader(30000, 30000);
        QTest::newRow("BMP of negative width") << bmpHeader(-5, 5) + QByteArray(64, '\0');
    }
    void badFilesGiveNoPicture() {
        QFETCH(QByteArray, bytes);
        writeFile(path("bad.jpg"), bytes);
        QVERIFY(decodePreview(path("bad.jpg"), QSize(72, 72)).isNull());
        QVERIFY(decodePreview(path("missing.jpg"), QSize(72, 72)).isNull());
    }
};

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
