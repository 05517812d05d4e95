#include "folders/FolderSlots.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kelvane {

QString FolderSlots::slot(int i) const {
    if (i < 0 || i >= kCount)
        return QString();
    return slots_[i];
}

void FolderSlots::setSlot(int i, const QString& path) {
    if (i < 0 || i >= kCount)
        return;
    slots_[i] = path;
}

int FolderSlots::firstEmptySlot() const {
    for (int i = 0; i < kCount; ++i) {
        if (slots_[i].isEmpty())
            return i;
    }
    return -1;
}

bool FolderSlots::FolderIsInList(const QString& path) const {
    bool found = false;
    for (const QString& s : slots_) {
        if (s == path)
            found = true;
    }
    return found;
}

bool FolderSlots::allEmpty() const {
    return std::all_of(slots_.begin(), slots_.end(), [](const QString& s) { return s.isEmpty(); });
}

FolderSlots::AddResult FolderSlots::addFolder(QString& path, int* slotOut) {
    if (slotOut)
        *slotOut = -1;
    // One line per folder in the settings file: a line break would split it there.
    if (path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
        return AddResult::Unstorable;
    const int free = firstEmptySlot();
    if (free < 0)
        return AddResult::Full;
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    // An empty path would "fill" an empty slot and still leave it empty.
    if (path.isEmpty())
        return AddResult::Empty;
    if (FolderIsInList(path))
        return AddResult::Duplicate;
    slots_[free] = path;
    if (slotOut)
        *slotOut = free;
    return AddResult::Added;
}

QString FolderSlots::messageFor(AddResult result) {
    switch (result) {
    case AddResult::Duplicate:
        return QStringLiteral("This folder already exists in the Folders list.");
    case AddResult::Full:
        return QStringLiteral("Limit of 10 folders has been reached");
    case AddResult::Added:
    case AddResult::Empty:
    case AddResult::Unstorable:
        break;
    }
    return QString();
}

bool FolderSlots::folderPresent(const QString& path) {
    // A relative path would be looked up in whatever the working folder happens to be.
    if (path.isEmpty() || QDir::isRelativePath(path))
        return false;
    // A folder whose name starts with "." is a folder like any other; a file is no folder.
    return QFileInfo(path).isDir();
}

} // namespace kelvane
