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
    void init() {
        platform_ = FakePlatform();
        platform_.specialFolders[Platform::SpecialFolder::Documents] = "/home/u/Documents  ";
    }

    // The dialog starts in the documents folder; one trailing "/" goes; full before duplicate.
    void addThroughTheDialog_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("chosen"); // "" cancels
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("messages");
        const auto row = [](const char* name, const char* before, const char* chosen,
                            const char* after, const char* messages) {
            QTest::newRow(name) << QString(before) << QString(chosen) << QString(after)
                                << QString(messages);
        };
        const char* duplicate = "This folder already exists in the Folders list.";
        const char* ten = "/0,/1,/2,/3,/4,/5,/6,/7,/8,/9";
        row("cancelled", "/a", "", "/a", "");
        row("into the first gap", "/a,,/c", "/b/", "/a,/b,/c", "");
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

    // Label 4 holds the folder; the question names it; the documents folder stays.
    void removeAfterAQuestion_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QString>("messages");
        const auto row = [](const char* name, int label, bool yes, const char* folder, bool removed,
                            const QString& messages) {
            QTest::newRow(name) << label << yes << QString(folder) << removed << messages;
        };
        const QString error =
            "There was an error while attempting to delete this folder from the list.";
        row("yes", 4, true, "/b", true, "Confirm Removal");
        row("no", 4, false, "/b", false, "Confirm Removal");
        row("documents folder", 4, true, "/home/u/Documents", false,
            "Confirm Removal;This folder cannot be removed");
        row("no label -1", -1, true, "/b", false, error);
        row("no label 10", 10, true, "/b", false, error);
    }
    void removeAfterAQuestion() {
        QFETCH(int, label);
        QFETCH(bool, yes);
        QFETCH(QString, folder);
        QFETCH(bool, removed);
        QFETCH(QString, messages);
        folders_.raw() = listed("/0,/1,/2,/3," + folder + ",/5");
        platform_.messageBoxAnswers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
        QCOMPARE(commands_.mnuDelete_Click(label, nullptr), removed);
        QCOMPARE(folders_.raw(), listed("/0,/1,/2,/3," + (removed ? "" : folder) + ",/5"));
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
};

QTEST_GUILESS_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
