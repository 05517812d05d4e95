#include "folders/DesktopFolder.h"

#include <QStringList>

namespace kelvane {

QString desktopFolderPath(const QString& desktop, const QString& name) {
    if (desktop.isEmpty() || name.isEmpty() || name.contains(QChar(0)) ||
        name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
        return {};
    for (const QString& part : name.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
    }
    QString path = desktop;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + name;
}

} // namespace kelvane
