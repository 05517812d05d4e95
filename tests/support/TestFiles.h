#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace kelvane::test {

inline void writeFile(const QString& path, const QByteArray& bytes) { // creates its folder
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline QStringList readLines(const QString& path) { // CR LF lines, without their ends
    QFile f(path);
    QStringList lines = QString::fromUtf8(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray())
                            .split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

inline QStringList entries(const QString& folder) { // hidden names included
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A previous run's settings: "key=value" on its line, others empty but firstuse=False; slots.
inline QByteArray previousRun(const QStringList& values, const QStringList& folders = {}) {
    static const QStringList keys =
        QStringLiteral("alwaysontop clientsize overwrite showsavedimage firstuse windowsfolder "
                       "left top playconfirmsound showhistory alwayspromptfiledelete "
                       "deletehistoryonclose showsavesrrormessage loadappwhencomputerstarts "
                       "autoincrementsavedfiles correctquerystringnames "
                       "synchronizewithinternetexplorer")
            .split(QLatin1Char(' '));
    QStringList lines(21);
    lines[4] = QStringLiteral("firstuse=False");
    for (const QString& v : values)
        lines[keys.indexOf(v.section(QLatin1Char('='), 0, 0))] = v;
    for (int i = 9; i >= 0; --i)
        lines << folders.value(i);
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

struct FileSizeLimit { // for this process until the guard goes; SIGXFSZ ignored from then on
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        const rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

} // namespace kelvane::test
