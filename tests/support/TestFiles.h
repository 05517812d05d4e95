#pragma once

// Small file helpers shared by the tests.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace kelvane::test {

// Writes bytes to a file, creating its folder.
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Lines of a text file (CR LF), without line ends.
inline QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Everything in a folder, hidden names included.
inline QStringList entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The settings file of a previous run: each "key=value" on its key's line, the other lines
// empty, "firstuse=False" unless given; then the folders of slots 0 to 9.
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

// Test data given as lines "field|field|...": one column "row" with the fields (fetched with
// QFETCH(QStringList, row)); each row is named by its line, line breaks shown as "\n".
inline void addRows(std::initializer_list<const char*> rows) {
    QTest::addColumn<QStringList>("row");
    for (const char* row : rows)
        QTest::newRow(QByteArray(row).replace('\r', "\\r").replace('\n', "\\n").constData())
            << QString::fromUtf8(row).split(QLatin1Char('|'));
}

// A file-size limit for this process, with SIGXFSZ ignored, until the guard goes.
struct FileSizeLimit {
    rlimit saved{};
    struct sigaction savedAction {};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &savedAction);
        const rlimit limit{bytes, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        sigaction(SIGXFSZ, &savedAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};

} // namespace kelvane::test
