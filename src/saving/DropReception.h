#pragma once

class QEvent;
class QMimeData;
class QObject;

namespace kelvane {

class frmMain;

// Drags and drops on the picture, the status icons and the folder labels. A drag over the
// picture or a label records the pending drop and arms the manual-save timer; a drop hands
// its data to the save. Every drop is taken as a copy, whatever the source proposed, so a
// source that offers a move never deletes its file.
class DropReception {
public:
    explicit DropReception(frmMain& main);

    // Handles the drag and drop events of the client's controls; true when it took the event.
    bool handle(QObject* watched, QEvent* event);

    void Image1_OLEDragOver(const QMimeData* data);
    void Image1_OLEDragDrop(const QMimeData* data);
    void imgIcon_OLEDragDrop(const QMimeData* data);
    void Text_OLEDragDrop(int index, const QMimeData* data);
    void Text_OLEDragOver(int index, const QMimeData* data);

private:
    enum class Target { None, Picture, Icon, Label };
    Target targetOf(QObject* watched, int& index) const;
    // The drag's first file becomes the pending source, and the manual-save timer is armed.
    void recordPendingFile(const QMimeData* data);

    frmMain& main_;
};

} // namespace kelvane
