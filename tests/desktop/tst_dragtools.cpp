// Real drags from the dragsource process onto a drop target in this test process, moved by
// the real pointer: what the target receives and what the source is told.
#include "DesktopTools.h"
#include "DragTools.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>

using namespace kelvane::test;

namespace {

// Without the test desktop there is no display; the test still has to start to skip.
[[maybe_unused]] const bool kPlatformChosen = [] {
    if (!onTestDesktop())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

const QPoint kSourceAt(100, 100);
const QPoint kTargetAt(500, 300);
const QPoint kNowhere(1000, 150); // bare desktop, off the way to the target

enum class Answer { AcceptProposed, ForceCopy, Refuse };

class DropTarget : public QWidget {
public:
    DropTarget() {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setAcceptDrops(true);
        setFixedSize(240, 240);
        move(kTargetAt);
    }
    void reset() {
        answer = Answer::AcceptProposed;
        enters = drops = 0;
        hadUrls = false;
        urls.clear();
        text.clear();
    }

    Answer answer = Answer::AcceptProposed;
    int enters = 0;
    int drops = 0;
    bool hadUrls = false;
    QList<QUrl> urls;
    QString text;
    Qt::DropAction proposed = Qt::IgnoreAction;
    Qt::DropActions possible;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override {
        ++enters;
        proposed = e->proposedAction();
        possible = e->possibleActions();
        respond(e);
    }
    void dragMoveEvent(QDragMoveEvent* e) override { respond(e); }
    void dropEvent(QDropEvent* e) override {
        ++drops;
        hadUrls = e->mimeData()->hasUrls();
        urls = e->mimeData()->urls();
        text = e->mimeData()->text();
        respond(e);
    }

private:
    void respond(QDropEvent* e) {
        if (answer == Answer::Refuse) {
            e->ignore();
        } else if (answer == Answer::ForceCopy) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->acceptProposedAction();
        }
    }
};

} // namespace

class TestDragTools : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    DropTarget target_;

    QString file(const QString& name) {
        const QString path = dir_.filePath(name);
        writeFile(path, "picture");
        return path;
    }

    // Drags from a new dragsource (its window at kSourceAt) to `to`; the source's result.
    QString drag(QStringList args, QPoint to) {
        DragSource source;
        args << "--at" << QString::number(kSourceAt.x()) << QString::number(kSourceAt.y());
        if (!source.start(args))
            return "not started: " + source.errorString();
        if (source.geometry().topLeft() != kSourceAt)
            return "source window misplaced";
        if (!dragWithPointer(source.geometry().center(), to))
            return "xdotool failed";
        const QString result = source.waitForResult();
        source.waitForFinished();
        return result.isEmpty() ? source.errorString() : result;
    }
    QPoint onTarget() const { return target_.geometry().center(); }

private Q_SLOTS:
    void initTestCase() {
        if (!onTestDesktop())
            QSKIP("needs the test desktop (scripts/test-desktop.sh)");
        QVERIFY(dir_.isValid());
        target_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target_));
        QTRY_COMPARE(target_.geometry().topLeft(), kTargetAt);
    }
    void init() { target_.reset(); }

    void fileDragDeliversTheLocalFiles_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one file") << QStringList{"bird.jpg"};
        QTest::newRow("blanks, escapes, accents") << QStringList{"my bird%20[1] é.jpeg"};
        QTest::newRow("three files, first first") << QStringList{"c.gif", "a.png", "b.bmp"};
    }
    void fileDragDeliversTheLocalFiles() {
        QFETCH(QStringList, names);
        QStringList paths;
        for (const QString& n : names)
            paths << file(n);
        QCOMPARE(drag(QStringList{"--files"} + paths, onTarget()), QString("copy"));
        QCOMPARE(target_.drops, 1);
        QVERIFY(target_.hadUrls);
        QCOMPARE(target_.urls.size(), paths.size());
        for (int i = 0; i < paths.size(); ++i) {
            QVERIFY(target_.urls[i].isLocalFile());
            QCOMPARE(target_.urls[i].toLocalFile(), paths[i]);
        }
    }

    void textDragHasNoFileList() {
        const QString text = "file:///not/a/list.jpg and some words";
        QCOMPARE(drag({"--text", text}, onTarget()), QString("copy"));
        QCOMPARE(target_.drops, 1);
        QVERIFY(!target_.hadUrls);
        QVERIFY(target_.urls.isEmpty());
        QCOMPARE(target_.text, text);
    }

    void webAddressIsNoLocalFile() {
        const QString url = "http://example.com/pictures/bird.jpg";
        QCOMPARE(drag({"--url", url}, onTarget()), QString("copy"));
        QCOMPARE(target_.drops, 1);
        QCOMPARE(target_.urls.size(), 1);
        QVERIFY(!target_.urls[0].isLocalFile());
        QCOMPARE(target_.urls[0].toString(), url);
    }

    void sourceLearnsTheTargetsAction_data() {
        QTest::addColumn<QString>("offer");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("proposed");
        QTest::addColumn<int>("possible");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("drops");
        const int copy = Qt::CopyAction, move = Qt::MoveAction, both = copy | move;
        const int accept = int(Answer::AcceptProposed), force = int(Answer::ForceCopy),
                  refuse = int(Answer::Refuse);
        QTest::newRow("copy offered, accepted") << "copy" << accept << copy << copy << "copy" << 1;
        QTest::newRow("move offered, accepted") << "move" << accept << move << both << "move" << 1;
        QTest::newRow("move offered, copy forced")
            << "move" << force << move << both << "copy" << 1;
        QTest::newRow("move offered, refused") << "move" << refuse << move << both << "ignore" << 0;
    }
    void sourceLearnsTheTargetsAction() {
        QFETCH(QString, offer);
        QFETCH(int, answer);
        QFETCH(int, proposed);
        QFETCH(int, possible);
        QFETCH(QString, result);
        QFETCH(int, drops);
        target_.answer = Answer(answer);
        QCOMPARE(drag({"--files", file("bird.jpg"), "--action", offer}, onTarget()), result);
        QCOMPARE(target_.enters, 1);
        QCOMPARE(int(target_.proposed), proposed);
        QCOMPARE(int(target_.possible), possible);
        QCOMPARE(target_.drops, drops);
    }

    void tenThousandFilesArriveWhole() {
        const QString path = file("many.jpg");
        QCOMPARE(drag({"--files", path, "--many", "10000"}, onTarget()), QString("copy"));
        QCOMPARE(target_.drops, 1);
        QCOMPARE(target_.urls.size(), 10000);
        QCOMPARE(target_.urls.count(QUrl::fromLocalFile(path)), 10000);
    }

    void dropBesideTheTargetIsIgnored() {
        QCOMPARE(drag({"--files", file("bird.jpg")}, kNowhere), QString("ignore"));
        QCOMPARE(target_.enters, 0);
        QCOMPARE(target_.drops, 0);
    }

    void sourceStaysForMoreDragsWhenAsked() {
        DragSource source;
        QVERIFY2(source.start({"--files", file("bird.jpg"), "--stay", "--at", "100", "100"}),
                 qPrintable(source.errorString()));
        QVERIFY(dragWithPointer(source.geometry().center(), kNowhere));
        QCOMPARE(source.waitForResult(), QString("ignore"));
        QVERIFY(dragWithPointer(source.geometry().center(), onTarget()));
        QCOMPARE(source.waitForResult(), QString("copy"));
        QCOMPARE(target_.drops, 1);
        QVERIFY(!source.waitForFinished(300)); // still there for a third drag
    }

    void badArgumentsAreRefused_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no data") << QStringList{"--action", "move"} << "exactly one of";
        QTest::newRow("unknown option")
            << QStringList{"--text", "a", "--fast"} << "unknown argument --fast";
        QTest::newRow("many without files")
            << QStringList{"--text", "a", "--many", "3"} << "--many goes with --files";
        QTest::newRow("bad action")
            << QStringList{"--text", "a", "--action", "link"} << "copy or move";
    }
    void badArgumentsAreRefused() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        DragSource source;
        QVERIFY(!source.start(args));
        QVERIFY2(source.errorString().contains(message), qPrintable(source.errorString()));
    }
};

QTEST_MAIN(TestDragTools)
#include "tst_dragtools.moc"
