#include "platform/drops/FileList.h"

#include <QMimeData>
#include <QtTest>

using namespace kelvane;

class TestDropReception : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestDropReception)
#include "tst_dropreception.moc"
