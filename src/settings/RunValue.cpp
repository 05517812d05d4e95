#include "settings/RunValue.h"

namespace kelvane {

void WriteRunValue(const AppState&, Platform&) {}

void DeleteRunValue(Platform&) {}

} // namespace kelvane
