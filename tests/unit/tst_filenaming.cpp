#include "platform/fake/FakePlatform.h"
#include "saving/FileNaming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace kelvane;

class TestFileNaming : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString path(const QString& name) const { return dir_.filePath(name); }
    void touch(const QString& name) {
        QFile file(path(name));
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
        file.write("x");
    }
    void clearFolder() {
        QDir folder(dir_.path());
        folder.removeRecursively();
        QVERIFY(QDir().mkpath(dir_.path()));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void correctFileName_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("queryNames");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("bracket jpg") << "/cache/cat[1].jpg" << true << "cat.jpg";
        QTest::newRow("bracket jpeg") << "/cache/photo[2].jpeg" << true << "photo.jpg";
        QTest::newRow("jpe") << "/cache/photo.jpe" << true << "photo.jpg";
        QTest::newRow("bracket zero") << "/cache/cat[0].jpg" << true << "cat.jpg";
        QTest::newRow("bracket 100") << "/cache/cat[100].gif" << true << "cat.gif";
        QTest::newRow("tiff") << "/cache/scan.tiff" << true << "scan.tif";
        QTest::newRow("bracket above range") << "/cache/pic[101].jpg" << true << "pic[101].jpg";
        QTest::newRow("other type keeps bracket") << "/cache/pic[1].bmp" << true << "pic[1].bmp";
        QTest::newRow("upper case untouched") << "/cache/CAT[1].JPG" << true << "CAT[1].JPG";
        QTest::newRow("escape decoded") << "/cache/my%20cat[1].jpg" << true << "my cat.jpg";
        QTest::newRow("escape, setting off") << "/cache/my%20cat[1].jpg" << false << "my%20cat.jpg";
        QTest::newRow("only %20 decoded") << "/cache/a%2Bb%20c.jpg" << true << "a%2Bb c.jpg";
        QTest::newRow("anywhere in the name") << "/cache/a.jpeg.b[1].jpg" << true << "a.jpg.b.jpg";
        QTest::newRow("all occurrences") << "/cache/a[1].gif[2].gif" << true << "a.gif.gif";
        QTest::newRow("folder not part of name") << "/ca[1].jpg/x.png" << true << "x.png";
    }
    void correctFileName() {
        QFETCH(QString, source);
        QFETCH(bool, queryNames);
        QFETCH(QString, corrected);
        QCOMPARE(CorrectFileName(source, queryNames), corrected);
    }

    void getFileName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        for (const char* row :
             {"/home/u/|", "cat.jpg|cat.jpg", "/cat.jpg|/cat.jpg", "a/cat.jpg|cat.jpg"})
            QTest::newRow(row) << QString(row).section('|', 0, 0) << QString(row).section('|', 1);
    }
    void getFileName() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(GetFileName(path), name);
    }

    void extensions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("withoutExtension");
        // name|extension|name without extension
        for (const char* row : {"a.jpg|jpg|a", "a.jpg.gif|gif|a.jpg", "a.bmp.tif|tif|a",
                                "a.png|png|a.png", "x.jpeg|peg|x.jpeg", "ab|ab|ab", "||"})
            QTest::newRow(row) << QString(row).section('|', 0, 0) << QString(row).section('|', 1, 1)
                               << QString(row).section('|', 2);
    }
    void extensions() {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QFETCH(QString, withoutExtension);
        QCOMPARE(GetExtension(name), extension);
        QString argument = name;
        QCOMPARE(DeleteExtension(argument), withoutExtension);
        QCOMPARE(argument, withoutExtension);
    }

    void incrementFileName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("expected");
        const char* rows[][4] = {
            {"none", "cat.jpg", "cat.jpg", "cat (1).jpg"},
            {"(1) present", "cat.jpg", "cat.jpg|cat (1).jpg", "cat (2).jpg"},
            {"after the highest, not the gap", "cat.jpg", "cat (1).jpg|cat (3).jpg", "cat (4).jpg"},
            {"four-character tail", "page.html", "page.html", "page. (1)html"},
            {"folder of that name ignored", "cat.jpg", "cat (5).jpg/", "cat (1).jpg"},
            {"non-ASCII name", "Käse €.jpg", "Käse € (2).jpg", "Käse € (3).jpg"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]).split('|') << QString(r[3]);
        QStringList many;
        for (int i = 1; i <= 999; ++i)
            many << QStringLiteral("cat (%1).jpg").arg(i);
        QTest::newRow("999 present") << "cat.jpg" << many << "cat (1000).jpg";
    }
    void incrementFileName() {
        QFETCH(QString, name);
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        clearFolder();
        for (const QString& file : present) {
            if (file.endsWith(QLatin1Char('/')))
                QVERIFY(QDir().mkpath(path(file)));
            else
                touch(file);
        }
        FakePlatform platform;
        QCOMPARE(IncrementFileName(path(name), platform), path(expected));
        QVERIFY(platform.messageBoxes.isEmpty());
    }

    void incrementFileNameFails_data() {
        QTest::addColumn<QString>("source");
        QTest::newRow("empty") << "";
        QTest::newRow("name shorter than four") << "/tmp/a.b";
        QTest::newRow("would split a character") << QString::fromUtf8("/tmp/a\U0001F600bcd");
    }
    void incrementFileNameFails() {
        QFETCH(QString, source);
        FakePlatform platform;
        QCOMPARE(IncrementFileName(source, platform), QString());
        QCOMPARE(platform.messageBoxes.size(), 1);
        const auto& box = platform.messageBoxes.first();
        QCOMPARE(box.text, QStringLiteral("File with duplicate file name could not be saved."));
        QCOMPARE(box.title, QStringLiteral("Kelvane"));
        QCOMPARE(box.buttons, Platform::Buttons::Ok);
        QCOMPARE(box.icon, Platform::Icon::None);
    }

    // With every probed number taken and the next one too, no name is handed on that would
    // replace a file.
    void incrementFileNameNeverNamesAnExistingFile() {
        clearFolder();
        for (int i = 1; i <= 1000; ++i)
            touch(QStringLiteral("cat (%1).jpg").arg(i));
        FakePlatform platform;
        QCOMPARE(IncrementFileName(path("cat.jpg"), platform), QString());
        QCOMPARE(platform.messageBoxes.size(), 1);
    }

    void fileExists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("file") << "file.jpg" << true;
        QTest::newRow("folder") << "folder" << false;
        QTest::newRow("hidden file") << ".hidden.jpg" << false;
        QTest::newRow("missing") << "missing.jpg" << false;
        QTest::newRow("fifo") << "fifo" << false;
        QTest::newRow("symlink to file") << "link.jpg" << true;
        QTest::newRow("dangling symlink") << "dangling.jpg" << false;
        QTest::newRow("file inside hidden folder") << ".folder/file.jpg" << true;
        QTest::newRow("embedded NUL") << QStringLiteral("file.jpg") + QChar(0) + "x" << false;
        QTest::newRow("empty") << "" << false;
    }
    void fileExists() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        clearFolder();
        touch("file.jpg");
        touch(".hidden.jpg");
        QVERIFY(QDir().mkpath(path("folder")));
        QVERIFY(QDir().mkpath(path(".folder")));
        touch(".folder/file.jpg");
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(path("file.jpg"), path("link.jpg")));
        QVERIFY(QFile::link(path("gone.jpg"), path("dangling.jpg")));

        QCOMPARE(FileExists(name.isEmpty() ? QString() : path(name)), exists);
    }

    void overwritePrompt_data() {
        QTest::addColumn<Platform::Answer>("answer");
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("yes") << Platform::Answer::Yes << true;
        QTest::newRow("no") << Platform::Answer::No << false;
    }
    void overwritePrompt() {
        QFETCH(Platform::Answer, answer);
        QFETCH(bool, overwrite);
        FakePlatform platform;
        platform.messageBoxAnswers.push_back(answer);
        QCOMPARE(OverwritePrompt(path("cat.jpg"), platform), overwrite);
        QCOMPARE(platform.messageBoxes.size(), 1);
        const auto& box = platform.messageBoxes.first();
        QCOMPARE(box.text, QStringLiteral("This file already exists in the specified folder. Would "
                                          "you like to overwrite it?"));
        QCOMPARE(box.title, QStringLiteral("Replace File?"));
        QCOMPARE(box.buttons, Platform::Buttons::YesNo);
        QCOMPARE(box.icon, Platform::Icon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(TestFileNaming)
#include "tst_filenaming.moc"
