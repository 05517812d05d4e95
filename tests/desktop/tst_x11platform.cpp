// The Linux platform's services against the real session: the autostart entry as the login
// reads it.
#include "DesktopTools.h"
#include "platform/x11/Autostart.h"

#include <QTemporaryDir>

using namespace kelvane;
using namespace kelvane::test;

class TestX11Platform : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // At login the session starts the entry's program; once the program has been removed, the
    // entry is skipped for its TryExec key (which every session honours) instead of failing.
    void autostartEntrySkipsARemovedProgram() {
        const QString generator =
            QStringLiteral("/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator");
        if (!QFileInfo(generator).isExecutable())
            QSKIP("no systemd autostart generator here");
        QTemporaryDir dir;
        const QString program = dir.path() + "/my \"odd\" $dir/kelvane";
        QVERIFY(QDir().mkpath(QFileInfo(program).path()));
        QVERIFY(QFile::copy("/bin/true", program));
        writeFile(dir.path() + "/config/autostart/kelvane.desktop",
                  autostart::entryFor(program, "hidden"));
        QString said;
        const auto unitsAtLogin = [&] {
            QDir(dir.path() + "/units").removeRecursively();
            QDir().mkpath(dir.path() + "/units");
            QProcess login;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
            env.insert("XDG_CONFIG_DIRS", dir.path() + "/none");
            env.insert("SYSTEMD_LOG_LEVEL", "debug");
            login.setProcessEnvironment(env);
            const QString units = dir.path() + "/units";
            login.start(generator, {units, units, units});
            login.waitForFinished();
            said = login.readAllStandardError();
            return QDir(units).entryList({"*.service"});
        };
        QCOMPARE(unitsAtLogin(), QStringList{"app-kelvane@autostart.service"});
        QVERIFY(QFile::remove(program));
        QCOMPARE(unitsAtLogin(), QStringList{});
        QVERIFY2(said.contains("TryExec"), qPrintable(said));
    }
};

QTEST_MAIN(TestX11Platform)
#include "tst_x11platform.moc"
