#include "settings/SettingsFile.h"

#include "core/TextFile.h"

#include <QFileInfo>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <utility>

namespace kelvane {

namespace {

constexpr int kSettingLines = 17;
constexpr int kLinesBeforeFolders = 21; // the setting lines and four empty lines

// The label of each setting line, in line order. "showsavesrrormessage=" is spelled so in every
// file the program has ever written.
constexpr const char* kKeys[kSettingLines] = {
    "alwaysontop=",
    "clientsize=",
    "overwrite=",
    "showsavedimage=",
    "firstuse=",
    "windowsfolder=",
    "left=",
    "top=",
    "playconfirmsound=",
    "showhistory=",
    "alwayspromptfiledelete=",
    "deletehistoryonclose=",
    "showsavesrrormessage=",
    "loadappwhencomputerstarts=",
    "autoincrementsavedfiles=",
    "correctquerystringnames=",
    "synchronizewithinternetexplorer=",
};

// Leading and trailing blanks (spaces only) removed.
QString trimBlanks(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return s.mid(begin, end - begin);
}

bool flagTest(const QString& value) {
    return trimBlanks(value).toUpper() == u"TRUE";
}

// A left or top value, cut down to a whole number toward minus infinity. Accepted: blanks, an
// optional sign, digits with an optional "." and fraction (".5" and "5." too), blanks. Anything
// else is not a number, so "12abc", "1e3", "1,5", "0x10", "- 5" and an empty value all leave the
// position alone rather than guessing at a prefix. So does a number below the 32-bit range: no
// window sits there, and the window turns the value into a pixel position.
std::optional<double> parseWholeNumber(const QString& value) {
    const QString s = trimBlanks(value);
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= u'0' && s[i] <= u'9')
            ++digits;
        else if (s[i] == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double number = std::floor(s.toDouble(&ok));
    if (!ok || !std::isfinite(number) || number < double(INT_MIN))
        return std::nullopt;
    return number;
}

// A text that holds a line feed cannot be written on one line: it would push every later line
// out of its place. Such a text is written as an empty line instead.
QByteArray textLine(const QString& text) {
    return text.contains(u'\n') ? QByteArray() : text.toUtf8();
}

QByteArray flagWord(bool flag) {
    return flag ? QByteArrayLiteral("True") : QByteArrayLiteral("False");
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::path() const {
    return m_path;
}

SettingsFile::LoadResult SettingsFile::LoadSettings(AppState& state, int screenWidthTwips,
                                                    int screenHeightTwips) const {
    LineReader in(m_path, kMaxLineBytes);
    LoadResult result;
    const QFileInfo file(m_path); // a pipe is never opened: it could block
    result.unreadable = (file.exists() || file.isSymLink()) &&
                        !(file.isFile() && QFile(m_path).open(QIODevice::ReadOnly));
    QString buffer; // a line that cannot be read leaves the previous line's value here
    for (int line = 1; line <= kSettingLines; ++line) {
        if (std::optional<QString> text = in.next())
            buffer = *text;
        const QString key = QString::fromLatin1(kKeys[line - 1]);
        const qsizetype at = buffer.indexOf(key, 0, Qt::CaseInsensitive);
        if (at >= 0)
            buffer.remove(at, key.size());
        const QString& value = buffer;

        switch (line) {
        case 1:
            state.bAlwaysOnTop = flagTest(value);
            break;
        case 2:
            state.sClientSize = trimBlanks(value).toUpper();
            break;
        case 3:
            state.bAutomaticallyOverwrite = flagTest(value);
            break;
        case 4:
            state.bShowSavedImage = flagTest(value);
            break;
        case 5:
            state.bFirstUse = trimBlanks(value).toUpper() != u"FALSE";
            break;
        case 6:
            if (!value.isEmpty())
                state.sWindowsFolder = value;
            break;
        case 7:
            if (std::optional<double> left = parseWholeNumber(value))
                state.WindowLeft = *left < double(screenWidthTwips) - 200 ? *left : 500;
            break;
        case 8:
            if (std::optional<double> top = parseWholeNumber(value))
                state.WindowTop = *top < double(screenHeightTwips) - 200 ? *top : 100;
            break;
        case 9:
            state.bPlayConfirmSound = flagTest(value);
            break;
        default: {
            // Lines 10 to 17 only ever switch a flag on.
            bool* const laterFlags[] = {
                &state.bShowHistory,
                &state.bAlwaysPromptFileDelete,
                &state.bDeleteHistoryOnClose,
                &state.bShowSaveErrorMessage,
                &state.bLoadAppWhenComputerStarts,
                &state.bAutoIncrementSavedFiles,
                &state.bCorrectQueryStringNames,
                &state.bSynchronizeWithInternetExplorer,
            };
            if (flagTest(value)) {
                *laterFlags[line - 10] = true;
                if (line == 17)
                    result.enableTimer5 = true;
            }
            break;
        }
        }
    }
    return result;
}

void SettingsFile::ApplyFolders(std::array<QString, 10>& folderSlots) const {
    LineReader in(m_path, kMaxLineBytes);
    for (int line = 0; line < kLinesBeforeFolders; ++line) {
        if (!in.next())
            return;
    }
    for (int slot = 9; slot >= 0; --slot) {
        std::optional<QString> text = in.next();
        if (!text)
            return;
        folderSlots[slot] = *text;
    }
}

bool SettingsFile::SaveSettings(const AppState& state,
                                const std::array<QString, 10>& folderSlots) const {
    const std::pair<const char*, QByteArray> settings[kSettingLines] = {
        {kKeys[0], flagWord(state.bAlwaysOnTop)},
        {kKeys[1], textLine(state.sClientSize)},
        {kKeys[2], flagWord(state.bAutomaticallyOverwrite)},
        {kKeys[3], flagWord(state.bShowSavedImage)},
        {kKeys[4], flagWord(false)}, // a written file always records a previous run
        {kKeys[5], textLine(state.sWindowsFolder)},
        {kKeys[6], formatNumber(state.WindowLeft).toLatin1()},
        {kKeys[7], formatNumber(state.WindowTop).toLatin1()},
        {kKeys[8], flagWord(state.bPlayConfirmSound)},
        {kKeys[9], flagWord(state.bShowHistory)},
        {kKeys[10], flagWord(state.bAlwaysPromptFileDelete)},
        {kKeys[11], flagWord(state.bDeleteHistoryOnClose)},
        {kKeys[12], flagWord(state.bShowSaveErrorMessage)},
        {kKeys[13], flagWord(state.bLoadAppWhenComputerStarts)},
        {kKeys[14], flagWord(state.bAutoIncrementSavedFiles)},
        {kKeys[15], flagWord(state.bCorrectQueryStringNames)},
        {kKeys[16], flagWord(state.bSynchronizeWithInternetExplorer)},
    };
    QByteArray out;
    for (const auto& [key, value] : settings)
        out += key + value + "\r\n";
    out += "\r\n\r\n\r\n\r\n";
    for (int slot = 9; slot >= 0; --slot)
        out += textLine(folderSlots[slot]) + "\r\n";

    return writeFileAtomically(m_path, out);
}

QString SettingsFile::formatNumber(double value) {
    if (!std::isfinite(value) || value == 0)
        value = 0;    // also turns -0 into 0
    char digits[400]; // enough for any double written out in full
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
    if (error != std::errc())
        return QStringLiteral(" 0");
    const QString text = QString::fromLatin1(digits, end - digits);
    return value < 0 ? text : u' ' + text;
}

} // namespace kelvane
