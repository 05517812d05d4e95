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

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QDir().mkpath(tree_.filePath("folder")) &&
                QDir().mkpath(tree_.filePath(".hidden/in")));
        writeFile(tree_.filePath("file.jpg"), "not a folder");
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

    // Each command refused or declined: what it asks and shows; the list stays. The folder
    // dialog starts in the documents folder, which is never removed.
    void commands_data() {
        QTest::addColumn<QString>("folders");
        QTest::addColumn<QString>("command"); // add through the dialog; remove, open label N
        QTest::addColumn<QString>("answer");  // the folder chosen ("" cancels), or to the question
        QTest::addColumn<QString>("messages");
        const auto row = [](const char* name, QString folders, QString command, QString answer,
                            QString messages) {
            QTest::newRow(name) << folders << command << answer << messages;
        };
        const QString duplicate = "This folder already exists in the Folders list.";
        const QString error =
            "There was an error while attempting to delete this folder from the list.";
        const QString unopened = "This folder could not be opened";
        row("add, cancelled", "/a", "add", "", "");
        row("add the same after the slash goes", ",/a", "add", "/a/", duplicate);
        row("add the root, its slash kept", "/", "add", "/", duplicate);
        row("add to a full list", "/0,/1,/2,/3,/4,/5,/6,/7,/8,/9", "add", "/5/",
            "Limit of 10 folders has been reached");
        row("remove, no", "/0,/1,/2,/3,/b", "remove 4", "no", "Confirm Removal");
        row("remove the documents folder", "/0,/1,/2,/3,/home/u/Documents", "remove 4", "yes",
            "Confirm Removal;This folder cannot be removed");
        row("remove label -1", "/0,/1,/2,/3,/b", "remove -1", "yes", error);
        row("remove label 10", "/0,/1,/2,/3,/b", "remove 10", "yes", error);
        row("open, cannot", ",,/", "open 2", "", unopened);
        row("open an empty label", "/0", "open 3", "", unopened);
    }
    void commands() {
        QFETCH(QString, folders);
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QString, messages);
        folders_.raw() = listed(folders);
        const int label = command.section(' ', 1).toInt();
        const QString folder = folders.section(',', label, label);
        platform_.openSucceeds = false;
        platform_.messageBoxAnswers = {answer == "yes" ? Platform::Answer::Yes
                                                       : Platform::Answer::No};
        if (command == "add" && !answer.isEmpty())
            platform_.folderDialogAnswers = {answer};
        if (command == "add")
            commands_.AddFolder(nullptr);
        else if (command.startsWith("remove"))
            QVERIFY(!commands_.mnuDelete_Click(label, nullptr));
        else
            commands_.Text_DblClick(label, nullptr);
        QCOMPARE(folders_.raw(), listed(folders));
        QStringList shown; // the title of a question, the text of any other message
        for (const auto& box : platform_.messageBoxes)
            shown << (box.buttons == Platform::Buttons::YesNo ? box.title : box.text);
        QCOMPARE(shown.join(';'), messages);
        const QString opened = command.startsWith("open") && !folder.isEmpty() ? folder : "";
        QCOMPARE(platform_.calls.filter(QRegularExpression("^(browseForFolder|openPath)")),
                 command == "add"   ? QStringList{"browseForFolder: Select A Folder to add to the "
                                                  "Folders List:: /home/u/Documents"}
                 : opened.isEmpty() ? QStringList()
                                    : QStringList{"openPath: " + opened});
        if (messages.startsWith("Confirm"))
            QCOMPARE(platform_.messageBoxes[0].text,
                     "Are you sure you want to delete the folder \"" + folder +
                         "\" \r\nfrom the Folders List?");
    }

    void ignoresIndexesOutOfRange() {
        folders_.raw() = listed("/0,,,,,,,,,/9");
        for (int i : {-1, 10, 1000})
            folders_.setSlot(i, "/elsewhere");
        QVERIFY(folders_.raw() == listed("/0,,,,,,,,,/9") && folders_.slot(-1).isEmpty() &&
                folders_.slot(10).isEmpty());
    }

    // Present: an existing entry named by an absolute path, not itself hidden.
    void testsPresence_data() {
        QTest::addColumn<QString>("path"); // "~/" the test tree
        QTest::addColumn<bool>("present");
        QTest::newRow("folder") << "~/folder" << true;
        QTest::newRow("inside a hidden folder") << "~/.hidden/in" << true;
        QTest::newRow("ends in ..") << "~/folder/.." << true;
        QTest::newRow("root") << "/" << true;
        QTest::newRow("dot-named") << "~/.hidden" << true;
        QTest::newRow("a file") << "~/file.jpg" << false;
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
