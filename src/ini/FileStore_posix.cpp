#include "FileStore.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileStore {
namespace {

constexpr int kMaxLinkHops = 40; // the kernel's own limit (ELOOP)
// A path pointed by mistake at a disk image or a log must not make every read allocate gigabytes.
constexpr qsizetype kMaxFileSize = qsizetype(256) * 1024 * 1024;

// Closes a descriptor on every way out of a scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    // close() can report a write error of its own (NFS), so a replace must see its result.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

qsizetype lastSlash(const QByteArray &path)
{
    return path.lastIndexOf('/');
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = lastSlash(path);
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// O_EXCL with a fresh random name, so two writers never share a temporary file; mode 0666 lets the
// umask decide the bits of a new file as it would for a plain open().
int createTemporary(const QByteArray &path, QByteArray &temporaryPath)
{
    const QByteArray prefix = path.left(lastSlash(path) + 1) + '.' + path.mid(lastSlash(path) + 1) + '.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        const int fd = ::open(temporaryPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// An existing file's owner and permission bits carry over to its replacement. A user who may not give
// a file away (EPERM) still replaces it, as any editor that saves by rename does.
bool takeOverAttributes(int fd, const struct stat &old)
{
    struct stat created {};
    if (::fstat(fd, &created) != 0)
        return false;
    if ((created.st_uid != old.st_uid || created.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        errno != EPERM)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// The rename is only durable once the folder is on the disk too. By then the new file is in place, so a
// folder that refuses fsync (some file systems do) must not turn a done write into a reported failure.
void syncFolder(const QByteArray &folder)
{
    Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.isValid())
        ::fsync(fd.get());
}

} // namespace

ReadOutcome read(const QByteArray &path, QByteArray &bytes)
{
    bytes.clear();
    // O_NONBLOCK: a FIFO at the path must not hang the caller; it is then refused as not a regular file.
    Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.isValid())
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileSize)
        return ReadOutcome::Failed;
    bytes.reserve(qsizetype(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return ReadOutcome::Failed;
        if (got == 0)
            return ReadOutcome::Read;
        if (bytes.size() + got > kMaxFileSize)
            return ReadOutcome::Failed;
        bytes.append(chunk, got);
    }
}

std::optional<QByteArray> resolveLinks(const QByteArray &path)
{
    QByteArray current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char target[PATH_MAX];
        const ssize_t size = ::readlink(current.constData(), target, sizeof target);
        // Not a link, or nothing there: whatever is at current is what a write replaces or creates.
        if (size < 0)
            return current;
        const QByteArray link(target, size);
        current = link.startsWith('/') ? link : current.left(lastSlash(current) + 1) + link;
    }
    return std::nullopt;
}

bool replace(const QByteArray &path, const QByteArray &bytes)
{
    struct stat old {};
    const bool existed = ::stat(path.constData(), &old) == 0;
    if (!existed && errno != ENOENT)
        return false;
    // A file marked read-only stays as it is, even though its folder would allow the rename.
    if (existed && (!S_ISREG(old.st_mode) || ::access(path.constData(), W_OK) != 0))
        return false;

    QByteArray temporaryPath;
    Descriptor fd(createTemporary(path, temporaryPath));
    if (!fd.isValid())
        return false;
    bool done = (!existed || takeOverAttributes(fd.get(), old)) && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    done = fd.close() && done;
    done = done && ::rename(temporaryPath.constData(), path.constData()) == 0;
    if (!done) {
        ::unlink(temporaryPath.constData());
        return false;
    }
    syncFolder(folderOf(path));
    return true;
}

} // namespace FileStore
