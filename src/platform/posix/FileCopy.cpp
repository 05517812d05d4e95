#include "platform/posix/FileCopy.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvane {

namespace {

constexpr size_t kBufferSize = 1 << 20;    // read/write fallback
constexpr off_t kMaxKernelChunk = 1 << 30; // one copy_file_range call
constexpr int kSourceEndedEarly = -1;      // copyBytes: the source had fewer bytes than stat said

// Temporary names are ".kelvane-" + a random 64-bit number in base 36, padded to 13 digits, +
// ".part". Nothing else in a folder is ever removed by a save.
constexpr char kTemporaryPrefix[] = ".kelvane-";
constexpr char kTemporarySuffix[] = ".part";
constexpr int kTemporaryKeyLength = 13;
// A temporary nobody has written to for this long was left by a save that died.
constexpr time_t kStaleAfterSeconds = 15 * 60;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the close's own error (0 when fine).
    int close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// Removes the copy's temporary name from the folder unless the copy was put in place.
class TemporaryName {
public:
    explicit TemporaryName(int folder) : folder_(folder) {}
    ~TemporaryName() {
        if (!name.isEmpty() && !keep)
            ::unlinkat(folder_, name.constData(), 0);
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    QByteArray name; // empty while the file has no name
    bool keep = false;

private:
    int folder_;
};

CopyResult failure(const char* what) {
    return {false, QString::fromUtf8(what)};
}

CopyResult failure(const char* what, int err) {
    return {false, QStringLiteral("%1: %2").arg(QString::fromUtf8(what), qt_error_string(err))};
}

// errno values of copy_file_range that only say "not here", so plain reads and writes can do it.
bool kernelCopyUnavailable(int err) {
    return err == EXDEV || err == ENOSYS || err == EINVAL || err == EOPNOTSUPP || err == EPERM ||
           err == EBADF;
}

int writeAll(int out, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(out, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

// Copies exactly size bytes from in to out: in the kernel where it can, else through a buffer.
// Returns 0, an errno value, or kSourceEndedEarly.
int copyBytes(int in, int out, off_t size) {
    off_t done = 0;
    bool inKernel = true;
    std::vector<char> buffer;
    while (done < size) {
        const off_t want = std::min(size - done, kMaxKernelChunk);
        ssize_t n;
        if (inKernel) {
            n = ::copy_file_range(in, nullptr, out, nullptr, size_t(want), 0);
            // Some file systems answer 0 rather than copying; nothing has moved yet, so the
            // buffered road starts from the same offsets.
            if (done == 0 && (n == 0 || (n < 0 && kernelCopyUnavailable(errno)))) {
                inKernel = false;
                continue;
            }
        } else {
            if (buffer.empty())
                buffer.resize(kBufferSize);
            n = ::read(in, buffer.data(), size_t(std::min<off_t>(want, off_t(buffer.size()))));
            if (n > 0) {
                if (const int err = writeAll(out, buffer.data(), size_t(n)))
                    return err;
            }
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return kSourceEndedEarly;
        done += n;
    }
    return 0;
}

QByteArray randomTemporaryName() {
    return kTemporaryPrefix +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36)
               .rightJustified(kTemporaryKeyLength, '0') +
           kTemporarySuffix;
}

bool isTemporaryName(const char* name) {
    const size_t prefix = sizeof kTemporaryPrefix - 1;
    const size_t suffix = sizeof kTemporarySuffix - 1;
    if (std::strlen(name) != prefix + kTemporaryKeyLength + suffix ||
        std::strncmp(name, kTemporaryPrefix, prefix) != 0 ||
        std::strcmp(name + prefix + kTemporaryKeyLength, kTemporarySuffix) != 0)
        return false;
    return std::all_of(name + prefix, name + prefix + kTemporaryKeyLength,
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); });
}

// Removes the temporaries a save killed half-way (or a power cut) left in the folder: regular
// files of exactly our name pattern, last written longer ago than kStaleAfterSeconds. A live
// save writes its file all the time and holds a name only for its final moments (or, where the
// file system has no unnamed files, for the whole copy), so the age tells a leftover from a
// save in progress; should a save stall for longer than that, it loses its temporary and fails,
// its target untouched.
void clearStaleTemporaries(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        if (isTemporaryName(entry->d_name) &&
            ::fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && now - st.st_mtime > kStaleAfterSeconds)
            (void)::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

// Opens the file the copy is written to. Where the file system allows, it is an unnamed file
// (O_TMPFILE) that is given a name only once it is complete, so a save killed half-way leaves
// nothing behind; elsewhere it is a new hidden file, named at once. Returns the descriptor, or
// -1 with errno set.
int createTemporary(int folder, TemporaryName& temporary) {
    // Naming the file may need /proc (see nameTemporary); without it, the named road.
    if (::access("/proc/self/fd", X_OK) == 0) {
        const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        // Kernels without O_TMPFILE see O_DIRECTORY | O_WRONLY and answer EISDIR.
        if (fd >= 0 ||
            (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOSYS))
            return fd;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray candidate = randomTemporaryName();
        const int named =
            ::openat(folder, candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (named >= 0) {
            temporary.name = candidate;
            return named;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

// Gives the complete unnamed file a temporary name in the folder, from which it is renamed over
// the target (a link straight to the target's name could not replace an existing file).
// Returns 0 or an errno value.
int nameTemporary(int fd, int folder, TemporaryName& temporary) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray candidate = randomTemporaryName();
        int result = ::linkat(fd, "", folder, candidate.constData(), AT_EMPTY_PATH);
        // AT_EMPTY_PATH wants CAP_DAC_READ_SEARCH on many kernels; /proc does it without.
        if (result != 0 && (errno == ENOENT || errno == EPERM || errno == EINVAL))
            result = ::linkat(AT_FDCWD, self.constData(), folder, candidate.constData(),
                              AT_SYMLINK_FOLLOW);
        if (result == 0) {
            temporary.name = candidate;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// The file a target path stands for: a symbolic link that resolves is followed, so that the
// link survives and its file gets the new content.
QByteArray resolveTarget(const QByteArray& target) {
    struct stat st;
    if (::lstat(target.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return target;
    char* real = ::realpath(target.constData(), nullptr);
    if (!real)
        return target; // a dangling link is replaced by the copy itself
    QByteArray resolved(real);
    std::free(real);
    return resolved;
}

} // namespace

CopyResult copyFileAtomically(const QString& source, const QString& target) {
    if (source.isEmpty())
        return failure("No source file was given");
    if (target.isEmpty())
        return failure("No target file was given");
    // The system would read such a name only up to the NUL: another file.
    if (source.contains(QChar(0)) || target.contains(QChar(0)))
        return failure("A file name cannot hold a NUL character");
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray targetPath = resolveTarget(QFile::encodeName(target));

    // The source: looked at before it is opened, so a FIFO or a device is never opened.
    struct stat sourceStat;
    if (::stat(sourcePath.constData(), &sourceStat) != 0)
        return failure("Cannot read the source file", errno);
    if (!S_ISREG(sourceStat.st_mode))
        return failure("The source is not a regular file");

    // The target's folder, held open so that every later step works in this same folder.
    const qsizetype slash = targetPath.lastIndexOf('/');
    const QByteArray folderPath = slash < 0    ? QByteArray(".")
                                  : slash == 0 ? QByteArray("/")
                                               : targetPath.left(slash);
    const QByteArray name = targetPath.mid(slash + 1);
    if (name.isEmpty())
        return failure("The target has no file name");
    Descriptor folder(::open(folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return errno == ENOENT    ? failure("The target folder does not exist")
               : errno == ENOTDIR ? failure("The target folder is not a folder")
                                  : failure("Cannot reach the target folder", errno);
    const long nameMax = ::fpathconf(folder.get(), _PC_NAME_MAX);
    if (name.size() > (nameMax > 0 ? nameMax : NAME_MAX))
        return failure("The file name is too long for the target folder");
    struct stat targetStat;
    const bool replacing = ::fstatat(folder.get(), name.constData(), &targetStat, 0) == 0;
    if (replacing && S_ISDIR(targetStat.st_mode))
        return failure("The target is a folder");
    if (replacing && !S_ISREG(targetStat.st_mode))
        return failure("The target is not a regular file");

    // O_NONBLOCK: should the source have been swapped for a FIFO since the stat, opening it
    // still returns at once, and the second look refuses it.
    Descriptor in(::open(sourcePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (in.get() < 0)
        return failure("Cannot read the source file", errno);
    if (::fstat(in.get(), &sourceStat) != 0)
        return failure("Cannot read the source file", errno);
    if (!S_ISREG(sourceStat.st_mode))
        return failure("The source is not a regular file");
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    clearStaleTemporaries(folder.get());
    TemporaryName temporary(folder.get());
    Descriptor out(createTemporary(folder.get(), temporary));
    if (out.get() < 0)
        return failure("Cannot create a file in the target folder", errno);
    if (replacing) {
        if (targetStat.st_uid != ::geteuid() || targetStat.st_gid != ::getegid())
            (void)::fchown(out.get(), targetStat.st_uid, targetStat.st_gid);
        (void)::fchmod(out.get(), targetStat.st_mode & 0777);
    }

    const int copied = copyBytes(in.get(), out.get(), sourceStat.st_size);
    if (copied == kSourceEndedEarly)
        return failure("The source file changed while it was being copied");
    if (copied != 0)
        return failure("Cannot copy the file", copied);
    struct stat after;
    if (::fstat(in.get(), &after) != 0 || after.st_size != sourceStat.st_size)
        return failure("The source file changed while it was being copied");
    if (::fdatasync(out.get()) != 0)
        return failure("Cannot write the copy", errno);
    if (temporary.name.isEmpty()) {
        if (const int err = nameTemporary(out.get(), folder.get(), temporary))
            return failure("Cannot create a file in the target folder", err);
    }
    if (const int err = out.close())
        return failure("Cannot write the copy", err);

    if (::renameat(folder.get(), temporary.name.constData(), folder.get(), name.constData()) != 0)
        return failure("Cannot put the copy in place", errno);
    temporary.keep = true;
    // Makes the new name itself durable; the copy is in place whatever this answers.
    Descriptor synced(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.get() >= 0)
        (void)::fsync(synced.get());
    return {true, {}};
}

} // namespace kelvane
