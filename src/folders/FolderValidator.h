#pragma once

#include <functional>

class QWidget;

namespace kelvane {

class FolderSlots;
class Platform;

// `CheckAllFolders`: every listed folder that no longer exists (or has become hidden) is
// reported, one message each in slot order, and its slot emptied, the labels laid out again
// after each. A check asked for while an earlier one still shows a message does not start.
class FolderValidator {
public:
    void CheckAllFolders(FolderSlots& folders, Platform& platform, QWidget* owner,
                         const std::function<void()>& showLabels);

private:
    bool checking_ = false;
};

// `CheckForFolders`: an entirely empty list brings the defaults back (applyDefaults).
void CheckForFolders(const FolderSlots& folders, const std::function<void()>& applyDefaults);

} // namespace kelvane
