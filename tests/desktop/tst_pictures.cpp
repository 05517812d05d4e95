// The client's picture on the real screen at each size and scale: drawn for it, not stretched.
// Measure: the screenshot of the square against the program's own drawing at that size (the
// card with the idle icon over it): the mean difference of the 8-bit colour channels at most
// 2, and the mean brightness gradient (|dx| + |dy| between neighbouring pixels) at least 95 %
// of the drawing's, which a bitmap drawn for the old 65 x 67 size and stretched fails.
#include "DesktopTools.h"
#include "ui/Artwork.h"
#include "ui/SizeTable.h"

#include <QGuiApplication>
#include <QPainter>

using namespace kelvane;
using namespace kelvane::test;

namespace {

double gradient(const QImage& img) {
    double sum = 0;
    for (int y = 0; y + 1 < img.height(); ++y)
        for (int x = 0; x + 1 < img.width(); ++x) {
            const int v = qGray(img.pixel(x, y));
            sum +=
                std::abs(v - qGray(img.pixel(x + 1, y))) + std::abs(v - qGray(img.pixel(x, y + 1)));
        }
    return sum / (img.width() * img.height());
}

double difference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// Sharp and alike: what the measure accepts. Says why not.
QString judge(const QImage& shot, const QImage& drawing) {
    const double diff = difference(shot, drawing), sharp = gradient(shot) / gradient(drawing);
    return diff <= 2 && sharp >= 0.95
               ? QString()
               : QString("difference %1, sharpness %2 %").arg(diff).arg(sharp * 100);
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
    }

    void drawnForTheScreen_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<double>("scale");   // QT_SCALE_FACTOR
        QTest::addColumn<bool>("startOnly"); // a scale no screen has, or no fonts at all
        QTest::addColumn<bool>("noFonts");
        for (double scale : {1.0, 2.0})
            for (const char* size : {"SMALL", "MED", "LARGE"})
                QTest::addRow("%s at %g", size, scale) << QString(size) << scale << false << false;
        QTest::newRow("SMALL at 1.5") << "SMALL" << 1.5 << false << false;
        QTest::newRow("MED at 0.5, starts") << "MED" << 0.5 << true << false;
        QTest::newRow("LARGE at 7, starts") << "LARGE" << 7.0 << true << false;
        QTest::newRow("no fonts, starts") << "MED" << 1.0 << true << true;
    }
    void drawnForTheScreen() {
        QFETCH(QString, size);
        QFETCH(double, scale);
        QFETCH(bool, startOnly);
        QFETCH(bool, noFonts);
        TestHome home;
        writeFile(home.settingsFile(),
                  previousRun({"clientsize=" + size, "left= 1500", "top= 1500"}, {home.path()}));
        KelvaneProcess kelvane(home);
        QProcessEnvironment env = home.environment();
        env.insert("QT_SCALE_FACTOR", QString::number(scale));
        if (noFonts) {
            writeFile(home.path() + "/fonts.conf", "<fontconfig></fontconfig>");
            env.insert("FONTCONFIG_FILE", home.path() + "/fonts.conf");
        }
        kelvane.setProcessEnvironment(env);
        // Any argument but "hidden": the window at once.
        const QString id = kelvane.startShown({"nosplash"});
        QVERIFY2(!id.isEmpty(), "no window");
        if (startOnly) {
            QVERIFY(kelvane.terminate());
            return;
        }
        const ClientLayout layout = layoutClient(*sizeRow(size), {home.path()});
        const QRect square = toPixels(layout.picture), icon = toPixels(layout.statusIcon);
        const QSize device = (QSizeF(square.size()) * scale).toSize();
        QImage drawing = artwork::clientPicture(square.size(), scale, icon);
        QPainter(&drawing).drawImage(
            icon.topLeft(), artwork::statusBadge(artwork::Status::Idle, icon.width(), scale));
        drawing = drawing.convertToFormat(QImage::Format_RGB32);
        QString verdict = "no screenshot";
        // The glyph and its arrow stay clear of the status icon at every size.
        for (const QRectF& part : artwork::motifParts(square.size(), icon))
            QVERIFY(!part.intersects(icon));
        (void)QTest::qWaitFor( // until the window manager has it on the screen, painted
            [&] {
                QProcess import;
                import.start("import", {"-window", id, "png:-"});
                import.waitForFinished(10000);
                const QImage shot = QImage::fromData(import.readAllStandardOutput())
                                        .copy(QRect(QPoint(), device))
                                        .convertToFormat(QImage::Format_RGB32);
                verdict = shot.size() == drawing.size() ? judge(shot, drawing) : "another size";
                return verdict.isEmpty();
            },
            5000);
        QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
        QVERIFY(kelvane.terminate());
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
