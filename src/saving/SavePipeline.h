#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace kelvane {

struct AppState;
class FolderSlots;
class HistoryList;
class Platform;

// What became of one save.
struct SaveOutcome {
    enum class Result {
        Saved,    // the file is in place and recorded in the history
        Failed,   // nothing was saved; the user is to hear and read about it
        Declined, // the user chose not to replace a file of the same name
    };
    Result result = Result::Failed;
    QString path;   // the saved file
    QString reason; // why a save failed, in a few words
    QString remark; // a sentence on the saved file for its tooltip, mostly empty
};

// Turns a dropped or chosen file into a file in the target folder: the corrected name, the
// question or the numbering for a file of the same name, the copy, the check that the copy is
// there, and the history entry. The caller shows the outcome; the routine itself shows only
// the busy pointer, its questions and the messages of the naming rules and the history file.
class SavePipeline {
public:
    SavePipeline(const AppState& state, const FolderSlots& folders, HistoryList& history,
                 QString historyFile, Platform& platform);

    // `SaveImage`: index -1 saves into the Desktop folder, 0 to 9 into folder slot index. A
    // drop passes its file as source and an empty manualTarget; a manual save passes the
    // source and the full path chosen in the save dialog, which then wins. An empty source
    // (a drag without a file) fails.
    SaveOutcome SaveImage(std::int16_t index, const QString& source, const QString& manualTarget,
                          QWidget* owner);

private:
    SaveOutcome copyToTarget(std::int16_t index, const QString& source, const QString& manualTarget,
                             QWidget* owner);
    void record(const QString& target, QWidget* owner);

    const AppState& state_;
    const FolderSlots& folders_;
    HistoryList& history_;
    QString historyFile_;
    Platform& platform_;
};

} // namespace kelvane
