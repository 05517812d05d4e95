#include "TestFiles.h"
#include "ui/SizeTable.h"

using namespace kelvane;

class TestSizeTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Stored | after resolving | the square's side (0: the previous row stays)
    void sizeWords_data() {
        test::addRows({"SMALL|SMALL|675", "  med |  med |1090", "Large|Large|1460", "|MED|1090",
                       "  |MED|1090", "Normal|Normal|0", "LAR GE|LAR GE|0"});
    }
    void sizeWords() {
        QFETCH(QStringList, row);
        QCOMPARE(parseClientSize(row[1]) == ClientSize::Unknown, row[2] == "0");
        QCOMPARE(resolveSizeRow(row[0], {1234, 321, 8}).sideTwips,
                 row[2] == "0" ? 1234 : row[2].toInt());
        QCOMPARE(row[0], row[1]);
    }

    // Size | label height | listed slots: labels stacked, touching in pixels however twips round.
    void laysOutTheLabels_data() {
        test::addRows({"SMALL|195|", "SMALL|195|1,3,5,7,9", "MED|240|0,1,2,3,4,5,6,7,8,9",
                       "MED|240|9", "LARGE|270|0,1,2,3,4,5,6,7,8,9", "LARGE|270|0,2"});
    }
    void laysOutTheLabels() {
        QFETCH(QStringList, row);
        const QStringList filled = row[2].split(',', Qt::SkipEmptyParts);
        std::array<QString, 10> texts;
        for (const QString& i : filled)
            texts[i.toInt()] = "/data/" + i;
        const int side = sizeRow(row[0])->sideTwips;
        const ClientLayout layout = layoutClient(*sizeRow(row[0]), texts);
        QCOMPARE(layout.statusIcon.right(), side - 55);
        int nextTop = side, nextPixel = toPixels(layout.picture).bottom() + 1;
        for (int i = 0; i < 10; ++i) {
            const LabelPlacement& label = layout.labels[i];
            QCOMPARE(label.visible, filled.contains(QString::number(i)));
            QCOMPARE(label.rect,
                     (TwipRect{-15, label.visible ? nextTop : 2000, side, row[1].toInt()}));
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
