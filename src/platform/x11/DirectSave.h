#pragma once

#include "platform/drops/DropAdapter.h"

namespace kelvane {

class XdndWatch;

// The direct-save drag protocol (XdndDirectSave0) on the target's side. The drag source's
// window comes from the XdndEnter message; the target writes the file's address into that
// window's XdndDirectSave0 property and asks for the selection in the XdndDirectSave0 form,
// which makes the source save the file and answer.
class DirectSave {
public:
    explicit DirectSave(const XdndWatch& drag) : drag_(drag) {}

    // The name the drag source proposes, from its XdndDirectSave0 property.
    QString proposedName() const;
    // Asks the drag source to save under fileUri; ask asks for the selection in that form.
    drops::DirectSaveAnswer request(const std::function<QByteArray()>& ask,
                                    const QString& fileUri) const;

private:
    const XdndWatch& drag_;
};

} // namespace kelvane
