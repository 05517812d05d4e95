// The settings file, whatever it holds: read, written and read again, it must come back as
// it was written.

#include "Fuzz.h"
#include "settings/SettingsFile.h"

using namespace kelvane;

namespace {

// The file the program writes after reading path.
QByteArray rewritten(const QString& path, const QString& to) {
    const SettingsFile file(path);
    AppState state;
    FUZZ_CHECK(!file.LoadSettings(state, 15360, 11520).unreadable);
    std::array<QString, 10> folders;
    file.ApplyFolders(folders);
    FUZZ_CHECK(SettingsFile(to).SaveSettings(state, folders));
    return fuzz::contents(to);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString damaged = fuzz::file(QStringLiteral("kelvane.dat"), fuzz::bytes(data, size));
    const QByteArray once = rewritten(damaged, fuzz::path(QStringLiteral("once.dat")));
    FUZZ_CHECK(once.count("\r\n") == 31);
    FUZZ_CHECK(rewritten(fuzz::path(QStringLiteral("once.dat")),
                         fuzz::path(QStringLiteral("twice.dat"))) == once);
    return 0;
}
