#include "TestFiles.h"
#include "core/SoundCues.h"
#include "folders/FolderCommands.h"
#include "folders/FolderSlots.h"
#include "platform/fake/FakePlatform.h"

using namespace kelvane;
using namespace kelvane::test;

class TestFolderCommands : public QObject {
    Q_OBJECT

    FakePlatform platform_;
    SoundCues cues_{platform_, "/res"};
    FolderSlots folders_;
    FolderCommands commands_{folders_, platform_, cues_};
    QTemporaryDir tree_;
    QString savedCurrent_;

    // Slots from a list "a,,c" (slot 1 empty), the rest empty.
    static std::array<QString, 10> listed(const QString& list) {
        std::array<QString, 10> slots;
        for (int i = 0; i < 10; ++i)
            slots[i] = list.section(',', i, i);
        return slots;
    }
    // The messages shown: the title of a question, the text of any other message.
    QString shown() const {
        QStringList texts;
        for (const auto& box : platform_.messageBoxes)
            texts << (box.buttons == Platform::Buttons::YesNo ? box.title : box.text);
        return texts.join(';');
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QDir().mkpath(tree_.filePath("folder")) &&
                QDir().mkpath(tree_.filePath(".hidden/in")));
        // Relative paths would find these, were they looked up in the working folder.
        savedCurrent_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tree_.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(savedCurrent_); }
    void init() {
        folders_.raw() = {};
        platform_ = FakePlatform();
        platform_.specialFolders[Platform::SpecialFolder::Documents] = "/home/u/Documents  ";
    }

    // The dialog starts in the documents folder; one trailing "/" goes; full before duplicate.
    void addThroughTheDialog_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("chosen"); // "" cancels
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("messages");
        const auto row = [](const char* name, QString before, QString chosen, QString after,
                            QString messages) {
            QTest::newRow(name) << before << chosen << after << messages;
        };
        const char* duplicate = "This folder already exists in the Folders list.";
        const char* ten = "/0,/1,/2,/3,/4,/5,/6,/7,/8,/9";
        row("cancelled", "/a", "", "/a", "");
        row("same after the slash goes", ",/a", "/a/", ",/a", duplicate);
        row("root keeps its slash", "/", "/", "/", duplicate);
        row("full", ten, "/5/", ten, "Limit of 10 folders has been reached");
    }
    void addThroughTheDialog() {
        QFETCH(QString, before);
        QFETCH(QString, chosen);
        QFETCH(QString, after);
        QFETCH(QString, messages);
        folders_.raw() = listed(before);
        if (!chosen.isEmpty())
            platform_.folderDialogAnswers = {chosen};
        const bool relayout = commands_.AddFolder(nullptr);
        QCOMPARE(folders_.raw(), listed(after));
        QVERIFY(relayout || before == after);
        QCOMPARE(shown(), messages);
        QCOMPARE(platform_.calls.filter("browseForFolder"),
                 QStringList{"browseForFolder: Select A Folder to add to the Folders List:: "
                             "/home/u/Documents"});
    }

    // Kept: label 4 holds the folder, the question names it; the documents folder stays.
    void removeAfterAQuestion_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("messages");
        const QString error =
            "There was an error while attempting to delete this folder from the list.";
        QTest::newRow("no") << 4 << "/b" << false << "Confirm Removal";
        QTest::newRow("documents folder")
            << 4 << "/home/u/Documents" << true << "Confirm Removal;This folder cannot be removed";
        QTest::newRow("no label -1") << -1 << "/b" << true << error;
        QTest::newRow("no label 10") << 10 << "/b" << true << error;
    }
    void removeAfterAQuestion() {
        QFETCH(int, label);
        QFETCH(QString, folder);
        QFETCH(bool, yes);
        QFETCH(QString, messages);
        folders_.raw() = listed("/0,/1,/2,/3," + folder + ",/5");
        platform_.messageBoxAnswers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
        QVERIFY(!commands_.mnuDelete_Click(label, nullptr));
        QCOMPARE(folders_.raw(), listed("/0,/1,/2,/3," + folder + ",/5"));
        QCOMPARE(shown(), messages);
        if (messages.startsWith("Confirm"))
            QCOMPARE(platform_.messageBoxes[0].text,
                     "Are you sure you want to delete the folder \"" + folder +
                         "\" \r\nfrom the Folders List?");
    }

    // A label whose folder cannot be opened, or that has none, says so.
    void doubleClickThatCannotOpen() {
        folders_.raw() = listed(",,/data/my \"best\" pictures");
        platform_.openSucceeds = false;
        commands_.Text_DblClick(2, nullptr);
        commands_.Text_DblClick(3, nullptr);
        QCOMPARE(platform_.calls.filter("openPath"),
                 QStringList{"openPath: /data/my \"best\" pictures"});
        QCOMPARE(shown(), "This folder could not be opened;This folder could not be opened");
    }

    void ignoresIndexesOutOfRange() {
        for (int i : {-1, 10, 1000})
            folders_.setSlot(i, "/elsewhere");
        QVERIFY(folders_.allEmpty() && folders_.slot(-1).isEmpty() && folders_.slot(10).isEmpty());
    }

    // Present: an existing entry named by an absolute path, not itself hidden.
    void testsPresence_data() {
        QTest::addColumn<QString>("path"); // "~/" the test tree
        QTest::addColumn<bool>("present");
        QTest::newRow("folder") << "~/folder" << true;
        QTest::newRow("inside a hidden folder") << "~/.hidden/in" << true;
        QTest::newRow("ends in ..") << "~/folder/.." << true;
        QTest::newRow("root") << "/" << true;
        QTest::newRow("hidden") << "~/.hidden" << false;
        QTest::newRow("gone") << "~/gone" << false;
        QTest::newRow("relative") << "folder" << false;
    }
    void testsPresence() {
        QFETCH(QString, path);
        QFETCH(bool, present);
        QCOMPARE(FolderSlots::folderPresent(path.replace("~/", tree_.path() + "/")), present);
    }
};

QTEST_GUILESS_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
