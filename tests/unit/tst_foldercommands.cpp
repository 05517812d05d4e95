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

    // Before | chosen ("" cancels, one trailing "/" goes) | after | messages; full before
    // duplicate.
    void addThroughTheDialog_data() {
        addRows({"/a||/a|", "/a,,/c|/b/|/a,/b,/c|", "/a|/A|/a,/A|", "/a|/a//|/a,/a/|",
                 ",/a|/a/|,/a|This folder already exists in the Folders list.",
                 "/|/|/|This folder already exists in the Folders list.",
                 "/0,/1,/2,/3,/4,/5,/6,/7,/8,/9|/5/|/0,/1,/2,/3,/4,/5,/6,/7,/8,/9|Limit of 10 "
                 "folders has been reached"});
    }
    void addThroughTheDialog() {
        QFETCH(QStringList, row);
        folders_.raw() = listed(row[0]);
        if (!row[1].isEmpty())
            platform_.folderDialogAnswers = {row[1]};
        const bool relayout = commands_.AddFolder(nullptr);
        QCOMPARE(folders_.raw(), listed(row[2]));
        QVERIFY(relayout || row[0] == row[2]);
        QCOMPARE(shown(), row[3]);
        QCOMPARE(platform_.calls.filter("browseForFolder"),
                 QStringList{"browseForFolder: Select A Folder to add to the Folders List:: "
                             "/home/u/Documents"});
    }

    // Label | answer | its folder | the folder after | messages; the documents folder stays.
    void removeAfterAQuestion_data() {
        addRows({"4|yes|/b||Confirm Removal", "4|no|/b|/b|Confirm Removal",
                 "4|yes|/home/u/Documents|/home/u/Documents|Confirm Removal;This folder cannot be "
                 "removed",
                 "4|yes|/home/u/DOCUMENTS||Confirm Removal", "-1|yes|/b|/b|<error>",
                 "10|yes|/b|/b|<error>"});
    }
    void removeAfterAQuestion() {
        QFETCH(QStringList, row);
        folders_.raw() = listed("/0,/1,/2,/3," + row[2] + ",/5");
        platform_.messageBoxAnswers = {row[1] == "yes" ? Platform::Answer::Yes
                                                       : Platform::Answer::No};
        QCOMPARE(commands_.mnuDelete_Click(row[0].toInt(), nullptr), row[2] != row[3]);
        QCOMPARE(folders_.raw(), listed("/0,/1,/2,/3," + row[3] + ",/5"));
        const QString error =
            "There was an error while attempting to delete this folder from the list.";
        QCOMPARE(shown(), QString(row[4]).replace("<error>", error));
        if (row[4].startsWith("Confirm"))
            QCOMPARE(platform_.messageBoxes[0].text,
                     "Are you sure you want to delete the folder \"" + row[2] +
                         "\" \r\nfrom the Folders List?");
    }

    // Label | the file manager starts | a message. The path goes over as one argument.
    void doubleClickOpens_data() { addRows({"2|1|0", "2|0|1", "3|1|1", "-1|1|1"}); }
    void doubleClickOpens() {
        QFETCH(QStringList, row);
        folders_.raw() = listed(",,/data/my \"best\" pictures");
        platform_.openSucceeds = row[1] == "1";
        commands_.Text_DblClick(row[0].toInt(), nullptr);
        QCOMPARE(platform_.calls.filter("openPath"),
                 QStringList(row[0] == "2" ? 1 : 0, "openPath: /data/my \"best\" pictures"));
        QCOMPARE(shown(), row[2] == "1" ? "This folder could not be opened" : "");
    }
};

QTEST_GUILESS_MAIN(TestFolderCommands)
#include "tst_foldercommands.moc"
