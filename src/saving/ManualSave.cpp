#include "saving/ManualSave.h"

#include "platform/Platform.h"
#include "saving/FileNaming.h"

namespace kelvane {

QString ShowSaveDialog(Platform& platform, QWidget* owner, const QString& filter,
                       const QString& title, const QString& initialFolder) {
    return platform.saveFileDialog(owner, filter, title, initialFolder).trimmed();
}

QString manualSaveExtension(const QString& source, bool correctQueryStringNames) {
    return GetExtension(CorrectFileName(source, correctQueryStringNames));
}

QString manualSavePath(const QString& chosen, const QString& extension) {
    QString path = chosen.trimmed();
    DeleteExtension(path);
    return path + QLatin1Char('.') + extension;
}

} // namespace kelvane
