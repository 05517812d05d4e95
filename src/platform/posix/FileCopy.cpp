#include "platform/posix/FileCopy.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvane {

namespace {

constexpr size_t kBufferSize = 1 << 20;    // read/write fallback
constexpr off_t kMaxKernelChunk = 1 << 30; // one copy_file_range call
constexpr int kSourceEndedEarly = -1;      // copyBytes: the source had fewer bytes than stat said

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

// Removes the temporary file unless the copy was put in place.
class TemporaryName {
public:
    QByteArray path;
    bool keep = false;
    ~TemporaryName() {
        if (!path.isEmpty() && !keep)
            ::unlink(path.constData());
    }
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

// Opens a new file beside the target under a hidden name of fixed length (so it fits whatever
// the target's name length). Returns the descriptor, or -1 with errno set.
int createTemporary(const QByteArray& folder, TemporaryName& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray candidate =
            folder + "/.kelvane-" +
            QByteArray::number(QRandomGenerator::global()->generate64(), 36)
                .rightJustified(13, '0') +
            ".part";
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            name.path = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
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
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray targetPath = resolveTarget(QFile::encodeName(target));

    // The source: looked at before it is opened, so a FIFO or a device is never opened.
    struct stat sourceStat;
    if (::stat(sourcePath.constData(), &sourceStat) != 0)
        return failure("Cannot read the source file", errno);
    if (!S_ISREG(sourceStat.st_mode))
        return failure("The source is not a regular file");

    // The target's folder and name.
    const qsizetype slash = targetPath.lastIndexOf('/');
    const QByteArray folder = slash < 0    ? QByteArray(".")
                              : slash == 0 ? QByteArray("/")
                                           : targetPath.left(slash);
    const QByteArray name = targetPath.mid(slash + 1);
    if (name.isEmpty())
        return failure("The target has no file name");
    struct stat folderStat;
    if (::stat(folder.constData(), &folderStat) != 0)
        return errno == ENOENT ? failure("The target folder does not exist")
                               : failure("Cannot reach the target folder", errno);
    if (!S_ISDIR(folderStat.st_mode))
        return failure("The target folder is not a folder");
    const long nameMax = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (name.size() > (nameMax > 0 ? nameMax : NAME_MAX))
        return failure("The file name is too long for the target folder");
    struct stat targetStat;
    const bool replacing = ::stat(targetPath.constData(), &targetStat) == 0;
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

    TemporaryName temporary;
    Descriptor out(createTemporary(folder, temporary));
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
    if (const int err = out.close())
        return failure("Cannot write the copy", err);

    if (::rename(temporary.path.constData(), targetPath.constData()) != 0)
        return failure("Cannot put the copy in place", errno);
    temporary.keep = true;
    // Makes the new name itself durable; the copy is in place whatever this answers.
    Descriptor folderFd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        (void)::fsync(folderFd.get());
    return {true, {}};
}

} // namespace kelvane
