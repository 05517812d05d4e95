#pragma once

#include <QString>
#include <array>

namespace kelvane {

// The ten target folders, slot 0 to 9. A slot holds a folder path or is empty; the client
// window shows slot i as folder label Text(i). Used slots need not be contiguous: removing a
// folder empties its slot and moves nothing, adding fills the lowest empty slot.
class FolderSlots {
public:
    static constexpr int kCount = 10;

    // Out-of-range indexes read as empty and are ignored when written.
    QString slot(int i) const;
    void setSlot(int i, const QString& path);

    std::array<QString, kCount>& raw() { return slots_; }
    const std::array<QString, kCount>& raw() const { return slots_; }

    // The lowest-numbered empty slot, or -1 when all ten are in use.
    int firstEmptySlot() const;
    // True when some slot equals the path exactly, letter case included.
    bool FolderIsInList(const QString& path) const;
    bool allEmpty() const;

    enum class AddResult {
        Added,      // the path went into the first empty slot
        Duplicate,  // some slot already holds the path; list unchanged
        Full,       // all ten slots are in use; list unchanged
        Empty,      // nothing to add (empty path); list unchanged
        Unstorable, // the path holds a line break, which the settings file cannot keep
    };
    // Puts a folder into the list. The limit is tested first; then one trailing "/" is removed
    // from the caller's path ("/" alone stays "/"), then the duplicate test runs, then the path
    // goes into the first empty slot, whose index is written to slotOut (-1 when not added).
    // A path with a line break is refused before anything else.
    AddResult addFolder(QString& path, int* slotOut = nullptr);
    // The message the window shows for a result; empty when there is nothing to say.
    static QString messageFor(AddResult result);

    // The existence test of the periodic folder check: an existing folder, given by an
    // absolute path (a name starting with "." included). A file or nothing there is missing.
    static bool folderPresent(const QString& path);

private:
    std::array<QString, kCount> slots_;
};

} // namespace kelvane
