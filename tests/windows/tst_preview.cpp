// The saved picture as the client shows it: every kind a browser displays decoded at the size
// shown, a kind without a decoder saved without being called corrupt, and a big picture
// decoded beside the window while the save is confirmed.
#include "ClientFixture.h"
#include "saving/Preview.h"

#include <QFutureWatcher>
#include <avif/avif.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A red picture of the given size encoded as AVIF by libavif; empty when it has no encoder.
QByteArray redAvif(int width, int height) {
    avifImage* image =
        avifImageCreate(uint32_t(width), uint32_t(height), 8, AVIF_PIXEL_FORMAT_YUV420);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    avifRGBImageAllocatePixels(&rgb);
    for (uint32_t i = 0; i < rgb.rowBytes * rgb.height; i += 4)
        rgb.pixels[i] = rgb.pixels[i + 3] = 255;
    avifImageRGBToYUV(image, &rgb);
    avifEncoder* encoder = avifEncoderCreate();
    avifRWData out = AVIF_DATA_EMPTY;
    QByteArray bytes;
    if (avifEncoderWrite(encoder, image, &out) == AVIF_RESULT_OK)
        bytes = QByteArray(reinterpret_cast<const char*>(out.data), qsizetype(out.size));
    avifRWDataFree(&out);
    avifEncoderDestroy(encoder);
    avifRGBImageFreePixels(&rgb);
    avifImageDestroy(image);
    return bytes;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

    ClientFixture f;

private Q_SLOTS:
    void init() { f.reset(); }

    void decodesAtTheSizeShown_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("decoded"); // in a 72 px box: at most twice that; none: null
        QTest::addColumn<bool>("withoutDecoder");
        const QByteArray avif = redAvif(300, 200);
        QVERIFY(!avif.isEmpty());
        QTest::newRow("AVIF") << avif << QSize(144, 96) << false;
        QTest::newRow("AVIF cut short") << avif.left(avif.size() / 2) << QSize() << false;
        QTest::newRow("SVG") << QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='400' "
                                           "height='100'><rect width='400' height='100' "
                                           "fill='red'/></svg>")
                             << QSize(144, 36) << false;
        QTest::newRow("JPEG XL") << QByteArray("\xff\x0a\xfa\x7f\x01\x90\x08", 7) << QSize()
                                 << true;
        QTest::newRow("HEIF") << QByteArray("\0\0\0\x18"
                                            "ftypheic\0\0\0\0mif1heic",
                                            24)
                              << QSize() << true;
        QTest::newRow("a page named .avif") << QByteArray("forbidden") << QSize() << false;
    }
    void decodesAtTheSizeShown() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, decoded);
        QFETCH(bool, withoutDecoder);
        const QString file = f.path("picture");
        writeFile(file, bytes);
        const QImage image = decodePreview(file, QSize(72, 72));
        QCOMPARE(image.size(), decoded.isValid() ? decoded : QSize(0, 0));
        if (!image.isNull())
            QVERIFY(qRed(image.pixel(image.width() / 2, image.height() / 2)) > 200);
        QCOMPARE(pictureWithoutDecoder(file), withoutDecoder);
    }

    // A picture of a kind the program cannot show is saved and confirmed, never called corrupt;
    // a big one is confirmed at once and shown once decoded, unless the look has moved on.
    void confirmsWhatCannotOrIsSlowToShow_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("JPEG XL") << "jxl";
        QTest::newRow("big bitmap") << "bmp";
        QTest::newRow("big bitmap, the look moved on") << "late";
    }
    void confirmsWhatCannotOrIsSlowToShow() {
        QFETCH(QString, kind);
        frmMain& w = f.load();
        f.handOver();
        const QString file = f.folder("cache") + "/cat." + (kind == "jxl" ? kind : "bmp");
        if (kind == "jxl") {
            writeFile(file, QByteArray("\xff\x0a\xfa\x7f\x01\x90\x08", 7));
        } else {
            QImage big(3000, 2000, QImage::Format_RGB888);
            big.fill(Qt::green);
            QVERIFY(big.save(file, "BMP"));
        }
        f.fake->soundsPlayed.clear();
        w.SaveImage(-1, file);
        QCOMPARE(f.iconInFront(), 1);
        QCOMPARE(f.fake->soundsPlayed, QStringList{f.cue("saved")});
        QVERIFY(f.fake->messageBoxes.isEmpty());
        const QString tip = w.controls().imgIcon[1]->toolTip();
        QCOMPARE(tip.endsWith("Kelvane cannot show this kind of picture. "), kind == "jxl");
        // Nothing shown yet: the big picture is still being decoded beside the window.
        QVERIFY(w.showsBackground());
        if (kind == "late") { // the idle look comes back first
            w.Timer2.setInterval(0);
            w.Timer2.start();
        }
        QTRY_VERIFY_WITH_TIMEOUT(w.findChildren<QFutureWatcherBase*>().isEmpty(), 20000);
        QCOMPARE(w.showsBackground(), kind != "bmp");
        const QImage shown = w.controls().Image1->pixmap().toImage();
        if (kind == "bmp")
            QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::green));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
