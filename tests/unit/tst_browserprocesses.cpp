// Finding the user's running browsers by their processes, against real processes: a copy of
// `sleep` run under a browser's name.
#include "platform/posix/BrowserProcesses.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace kelvane;

static QByteArray readStat(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestBrowserProcesses : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void byTheirProgram_data() {
        QTest::addColumn<QString>("name"); // the file name the process is started under
        QTest::addColumn<QString>("how");  // "copy" of sleep, "link" to it, "other user", "ended"
        QTest::addColumn<bool>("browser");
        QTest::newRow("a copy named firefox-esr") << "firefox-esr"
                                                  << "copy" << true;
        QTest::newRow("a link named chromium") << "chromium"
                                               << "link" << true;
        QTest::newRow("a name that only begins like one") << "firefox-helper"
                                                          << "copy" << false;
        QTest::newRow("another user's browser") << "brave"
                                                << "other user" << false;
        QTest::newRow("a browser that has ended, not yet reaped") << "chrome"
                                                                  << "ended" << false;
    }
    void byTheirProgram() {
        QFETCH(QString, name);
        QFETCH(QString, how);
        QFETCH(bool, browser);
        if (how == "other user" && ::getuid() != 0)
            QSKIP("starting a process as another user needs root");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther |
                                              QFile::ReadOther | QFile::ExeGroup);
        const QString program = dir.path() + "/" + name;
        QVERIFY(how == "link" ? QFile::link("/bin/sleep", program)
                              : QFile::copy("/bin/sleep", program));
        QProcess process;
        if (how == "other user")
            process.start("setpriv",
                          {"--reuid=65534", "--regid=65534", "--clear-groups", program, "30"});
        else if (how == "ended") // its parent never reaps it
            process.start("sh", {"-c", "\"$0\" 0 & echo $!; exec sleep 30", program});
        else
            process.start(program, {"30"});
        QVERIFY(process.waitForStarted());
        if (how == "ended") {
            QVERIFY(process.waitForReadyRead());
            const QString stat = "/proc/" + process.readLine().trimmed() + "/stat";
            QTRY_VERIFY(readStat(stat).contains(") Z ")); // a zombie
            QCOMPARE(BrowserProcesses::isBrowserProcess(stat.section('/', 2, 2).toInt()), browser);
            return;
        }
        QTRY_VERIFY(QFile::symLinkTarget(QString("/proc/%1/exe").arg(process.processId()))
                        .endsWith(how == "link" ? "sleep" : name));
        QCOMPARE(BrowserProcesses::isBrowserProcess(pid_t(process.processId())), browser);
        if (browser) {
            BrowserProcesses finder;
            QTRY_VERIFY(finder.running());
        }
        process.kill();
        process.waitForFinished();
        QVERIFY(!BrowserProcesses::isBrowserProcess(pid_t(process.processId())));
    }
};

QTEST_GUILESS_MAIN(TestBrowserProcesses)
#include "tst_browserprocesses.moc"
