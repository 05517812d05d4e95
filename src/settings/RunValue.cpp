#include "settings/RunValue.h"

#include "platform/Platform.h"

namespace kelvane {
namespace {

void reportFailure(Platform& platform, QWidget* owner) {
    platform.message(owner,
                     QStringLiteral("There was an error while attempting to write the "
                                    "start-up entry. This request cannot be completed."),
                     Platform::Icon::Critical);
}

} // namespace

void WriteRunValue(Platform& platform, QWidget* owner) {
    if (!platform.writeAutostartEntry(QStringLiteral("hidden")))
        reportFailure(platform, owner);
}

void DeleteRunValue(Platform& platform, QWidget* owner) {
    if (!platform.deleteAutostartEntry())
        reportFailure(platform, owner);
}

} // namespace kelvane
