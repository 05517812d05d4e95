#include "saving/FileNaming.h"

#include "core/FileTests.h"
#include "platform/Platform.h"

#include <QFileInfo>

#include <charconv>
#include <cstring>

namespace kelvane {

namespace {

constexpr int kHighestProbe = 999;

void replaceBracketed(QString& name, int n, QLatin1StringView ext, const QString& by) {
    // "[" n "]" ext, built without leaving the stack.
    char buffer[32];
    char* p = buffer;
    *p++ = '[';
    p = std::to_chars(p, buffer + 8, n).ptr;
    *p++ = ']';
    std::memcpy(p, ext.data(), static_cast<size_t>(ext.size()));
    p += ext.size();
    name.replace(QLatin1StringView(buffer, p - buffer), by);
}

void reportDuplicateFailure(Platform& platform, QWidget* owner) {
    platform.message(owner, QStringLiteral("File with duplicate file name could not be saved."));
}

} // namespace

QString GetFileName(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 1)
        return path;
    return path.mid(slash + 1);
}

QString CorrectFileName(const QString& path, bool correctQueryStringNames) {
    const QString jpg = QStringLiteral(".jpg");
    const QString gif = QStringLiteral(".gif");
    QString name = GetFileName(path);
    name.replace(QLatin1StringView(".jpeg"), jpg);
    for (int n = 0; n <= 100; ++n) {
        replaceBracketed(name, n, QLatin1StringView(".jpe"), jpg);
        replaceBracketed(name, n, QLatin1StringView(".jpg"), jpg);
    }
    name.replace(QLatin1StringView(".jpe"), jpg);
    name.replace(QLatin1StringView(".tiff"), QStringLiteral(".tif"));
    for (int n = 0; n <= 100; ++n)
        replaceBracketed(name, n, QLatin1StringView(".gif"), gif);
    if (correctQueryStringNames)
        name.replace(QLatin1StringView("%20"), QStringLiteral(" "));
    return name;
}

QString GetExtension(const QString& name) {
    return name.right(3);
}

QString DeleteExtension(QString& sFilename) {
    for (const char* ext : {".jpg", ".tif", ".gif", ".bmp"}) {
        if (sFilename.endsWith(QLatin1StringView(ext)))
            sFilename.chop(4);
    }
    return sFilename;
}

QString IncrementFileName(const QString& path, Platform& platform, QWidget* owner) {
    // The number goes before the last four characters. They must belong to the file's own
    // name, and must not start in the middle of a character, or the numbered name would land
    // in another folder or be no valid name at all.
    if (path.size() < 4) {
        reportDuplicateFailure(platform, owner);
        return QString();
    }
    const QString head = path.left(path.size() - 4);
    const QString tail = path.right(4);
    if (tail.contains(QLatin1Char('/')) || tail.front().isLowSurrogate()) {
        reportDuplicateFailure(platform, owner);
        return QString();
    }

    const auto probe = [&](int i) {
        return FileExists(head + QStringLiteral(" (") + QString::number(i) + QLatin1Char(')') +
                          tail);
    };

    int number = 1;
    for (int i = 0; i <= kHighestProbe; ++i) {
        if (probe(i))
            number = i + 1;
    }
    // Only a number past the probed range can name a file that is already there; handing
    // that name on would replace the file without asking.
    if (number > kHighestProbe && probe(number)) {
        reportDuplicateFailure(platform, owner);
        return QString();
    }
    return head + QStringLiteral(" (") + QString::number(number) + QStringLiteral(")") + tail;
}

bool OverwritePrompt(const QString& sFilename, Platform& platform, QWidget* owner) {
    Q_UNUSED(sFilename);
    return platform.messageBox(owner,
                               QStringLiteral("This file already exists in the specified folder. "
                                              "Would you like to overwrite it?"),
                               QStringLiteral("Replace File?"), Platform::Buttons::YesNo,
                               Platform::Icon::Exclamation) == Platform::Answer::Yes;
}

} // namespace kelvane
