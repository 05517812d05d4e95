#pragma once

#include "core/AppState.h"

#include <QString>
#include <array>

namespace kelvane {

// The settings file "kelvane.dat": 17 positional setting lines, 4 empty lines and the ten folder
// slots (slot 9 first). Each setting has a fixed line; the key on the line is only a label that
// the reader removes. Written with CR LF line ends in UTF-8; read accepting CR LF or LF.
class SettingsFile {
public:
    explicit SettingsFile(QString path);

    struct LoadResult {
        bool enableTimer5 = false; // line 17 asked for browser following
        // The file is there but cannot be read (a folder, a pipe, a dangling link, no read
        // permission): not a first run; what it holds must not be written over.
        bool unreadable = false;
    };

    // Reads lines 1 to 17 into state. A line that cannot be read (no file, end of
    // file) repeats what the previous line left in the buffer. Never fails; no message; a file
    // that is there but cannot be read is told in the result.
    LoadResult LoadSettings(AppState& state, int screenWidthTwips, int screenHeightTwips) const;

    // Passes over 21 lines, then reads the next ten into folderSlots[9] down
    // to folderSlots[0]. Slots not reached (short or missing file) keep what they held.
    void ApplyFolders(std::array<QString, 10>& folderSlots) const;

    // Writes the 31 lines (line 5 always "firstuse=False", folderSlots[9] first) to
    // a temporary file that replaces the old one only when everything was written, so a failed
    // write leaves the previous file whole. Creates the parent folder when missing. Returns
    // false on failure; shows nothing.
    bool SaveSettings(const AppState& state, const std::array<QString, 10>& folderSlots) const;

    // The number format of left and top: " 7680", "-150", " 0", " 12.5".
    static QString formatNumber(double value);

    QString path() const;

    // Lines longer than this (without the line end) are passed over and read as empty lines. No
    // value the program writes comes near it; it keeps a damaged file from filling the memory.
    static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

private:
    QString m_path;
};

} // namespace kelvane
