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

    // Each command on the list: what it asks and shows, what it leaves. The folder dialog
    // starts in the documents folder, which is never removed.
    void commands_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("command"); // add through the dialog; remove, open label N
        QTest::addColumn<QString>("answer");  // the folder chosen ("" cancels), or to the question
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("messages");
        const auto row = [](const char* name, QString before, QString command, QString answer,
                            QString after, QString messages) {
            QTest::newRow(name) << before << command << answer << after << messages;
        };
        const QString duplicate = "This folder already exists in the Folders list.";
        const QString ten = "/0,/1,/2,/3,/4,/5,/6,/7,/8,/9", five = "/0,/1,/2,/3,/b";
        const QString documents = "/0,/1,/2,/3,/home/u/Documents";
        const QString error =
            "There was an error while attempting to delete this folder from the list.";
        const QString unopened = "This folder could not be opened";
        row("add, cancelled", "/a", "add", "", "/a", "");
        row("add the same after the slash goes", ",/a", "add", "/a/", ",/a", duplicate);
        row("add the root, its slash kept", "/", "add", "/", "/", duplicate);
        row("add to a full list", ten, "add", "/5/", ten, "Limit of 10 folders has been reached");
        row("remove, no", five, "remove 4", "no", five, "Confirm Removal");
        row("remove the documents folder", documents, "remove 4", "yes", documents,
            "Confirm Removal;This folder cannot be removed");
        row("remove label -1", five, "remove -1", "yes", five, error);
        row("remove label 10", five, "remove 10", "yes", five, error);
        row("open, cannot", ",,/data/my \"best\" pictures", "open 2", "", "", unopened);
        row("open an empty label", "/0", "open 3", "", "", unopened);
    }
    void commands() {
        QFETCH(QString, before);
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QString, after);
        QFETCH(QString, messages);
        folders_.raw() = listed(before);
        const int label = command.section(' ', 1).toInt();
        const QString folder = before.section(',', label, label);
        platform_.openSucceeds = false;
        platform_.messageBoxAnswers = {answer == "yes" ? Platform::Answer::Yes
                                                       : Platform::Answer::No};
        if (command == "add" && !answer.isEmpty())
            platform_.folderDialogAnswers = {answer};
        if (command == "add")
            QVERIFY(commands_.AddFolder(nullptr) || before == after);
        else if (command.startsWith("remove"))
            QVERIFY(!commands_.mnuDelete_Click(label, nullptr));
        else
            commands_.Text_DblClick(label, nullptr);
        QCOMPARE(folders_.raw(), listed(after.isEmpty() ? before : after));
        QCOMPARE(shown(), messages);
        QStringList calls{"browseForFolder: Select A Folder to add to the Folders List:: "
                          "/home/u/Documents"};
        if (command != "add")
            calls = folder.isEmpty() || command.startsWith("remove")
                        ? QStringList()
                        : QStringList{"openPath: " + folder};
        QCOMPARE(platform_.calls.filter(QRegularExpression("^(browseForFolder|openPath)")), calls);
        if (messages.startsWith("Confirm"))
            QCOMPARE(platform_.messageBoxes[0].text,
                     "Are you sure you want to delete the folder \"" + folder +
                         "\" \r\nfrom the Folders List?");
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
