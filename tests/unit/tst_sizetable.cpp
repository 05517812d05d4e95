#include "ui/SizeTable.h"

#include <QtTest>

using namespace kelvane;

class TestSizeTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A stored word that names no size keeps the previous size; an empty one means medium.
    void sizeWords_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("resolved");
        QTest::addColumn<int>("side"); // twips; 1234 is the previous size's
        QTest::newRow("blanks and case ignored") << "  med "
                                                 << "  med " << 1090;
        QTest::newRow("empty is medium") << ""
                                         << "MED" << 1090;
        QTest::newRow("blanks only are medium") << "  "
                                                << "MED" << 1090;
        QTest::newRow("unknown word keeps the previous") << "Normal"
                                                         << "Normal" << 1234;
    }
    void sizeWords() {
        QFETCH(QString, stored);
        QFETCH(QString, resolved);
        QFETCH(int, side);
        QCOMPARE(resolveSizeRow(stored, {1234, 321, 8}).sideTwips, side);
        QCOMPARE(stored, resolved);
    }

    // Labels stacked under the picture, touching in pixels however the twips round.
    void laysOutTheLabels_data() {
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("labelHeight");
        QTest::addColumn<QList<int>>("filled");
        QTest::newRow("small, no folders") << "SMALL" << 195 << QList<int>{};
        QTest::newRow("medium, all ten")
            << "MED" << 240 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("large, with gaps") << "LARGE" << 270 << QList<int>{0, 2, 9};
    }
    void laysOutTheLabels() {
        QFETCH(QString, size);
        QFETCH(int, labelHeight);
        QFETCH(QList<int>, filled);
        std::array<QString, 10> texts;
        for (int i : filled)
            texts[i] = "/data/" + QString::number(i);
        const int side = sizeRow(size)->sideTwips;
        const ClientLayout layout = layoutClient(*sizeRow(size), texts);
        QCOMPARE(layout.statusIcon.right(), side - 55);
        int nextTop = side, nextPixel = toPixels(layout.picture).bottom() + 1;
        for (int i = 0; i < 10; ++i) {
            const LabelPlacement& label = layout.labels[i];
            QCOMPARE(label.visible, filled.contains(i));
            QCOMPARE(label.rect,
                     (TwipRect{-15, label.visible ? nextTop : 2000, side, labelHeight}));
            if (label.visible) {
                nextTop = label.rect.bottom();
                QCOMPARE(toPixels(label.rect).topLeft(), QPoint(-1, nextPixel));
                nextPixel = toPixels(label.rect).bottom() + 1;
            }
        }
        QCOMPARE(layout.window, (TwipRect{0, 0, side, nextTop}));
        QCOMPARE(toPixels(layout.window).bottom() + 1, nextPixel);
    }

    // Heights that are no whole pixels must not let a column drift, nor far edges overflow.
    void stackedRectsShareEdges() {
        for (const auto& [start, height] : {std::pair{0, 7}, std::pair{-15, 8}}) {
            int nextTop = twipsToPixels(start);
            for (int i = 0; i < 20; ++i) {
                QCOMPARE(toPixels(TwipRect{0, start + i * height, 10, height}).top(), nextTop);
                nextTop = toPixels(TwipRect{0, start + i * height, 10, height}).bottom() + 1;
            }
            QCOMPARE(nextTop, twipsToPixels(start + 20 * height));
        }
        const int big = std::numeric_limits<int>::max(), left = twipsToPixels(big - 10);
        QCOMPARE(toPixels(TwipRect{big - 10, 0, 100, 15}),
                 QRect(left, 0, twipsToPixels(big + 90.0) - left, 1));
    }
};

QTEST_GUILESS_MAIN(TestSizeTable)
#include "tst_sizetable.moc"
