#include "platform/x11/Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace kelvane::autostart {
namespace {

// One argument of an Exec line: in double quotes, with the characters that are special
// inside them escaped by a backslash; then every backslash doubled again, because the whole
// line is a string value, and "%" doubled, because it starts a field code.
QByteArray execArgument(const QString& argument) {
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'%', QStringLiteral("%%"));
    return quoted.toUtf8();
}

// A string value: backslash, line breaks and tab escaped.
QByteArray stringValue(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else
            escaped += c;
    }
    return escaped.toUtf8();
}

} // namespace

QString entryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/kelvane.desktop");
}

QByteArray entryFor(const QString& program, const QString& argument) {
    // A line break or any other control character cannot be quoted in an Exec line: written
    // anyway, it could start a line of its own, a command the session would run at login.
    for (const QString& text : {program, argument})
        if (std::any_of(text.begin(), text.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }))
            return {};
    QByteArray exec = execArgument(program);
    // A "%" in the program's own path is written "%%" as it must be, but GLib looks the program
    // up before it reads the escape, finds nothing and will not launch the entry: env, which it
    // does find, starts the program instead.
    if (program.contains(u'%'))
        exec = "env " + exec;
    if (!argument.isEmpty())
        exec += ' ' + execArgument(argument);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kelvane\n"
           "Comment=Keeps the pictures you drop on it\n"
           "Exec=" +
           exec +
           "\n"
           // A program that has been removed is skipped at login rather than failing.
           "TryExec=" +
           stringValue(program) +
           "\n"
           "Icon=kelvane\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool write(const QString& argument) {
    const QString path = entryPath();
    const QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const QByteArray entry = entryFor(program, argument);
    if (entry.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(entry) != entry.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool remove() {
    const QString path = entryPath();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    return !info.isDir() && QFile::remove(path);
}

} // namespace kelvane::autostart
