#pragma once

#include "platform/drops/DropAdapter.h"

#include <QAbstractNativeEventFilter>

namespace kelvane {

// The direct-save drag protocol (XdndDirectSave0) on the target's side. The drag source's
// window comes from the XdndEnter message (Qt does not hand it out); the target writes the
// file's address into that window's XdndDirectSave0 property and asks for the selection in
// the XdndDirectSave0 form, which makes the source save the file and answer.
class DirectSave : public QAbstractNativeEventFilter {
public:
    DirectSave();
    ~DirectSave() override;

    // The name the drag source proposes, from its XdndDirectSave0 property.
    QString proposedName() const;
    // Asks the drag source to save under fileUri; ask asks for the selection in that form.
    drops::DirectSaveAnswer request(const std::function<QByteArray()>& ask,
                                    const QString& fileUri) const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    quint32 source_ = 0; // the window of the drag that entered last
};

} // namespace kelvane
