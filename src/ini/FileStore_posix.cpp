#include "ini/FileStore.h"

#include "ini/Descriptor.h"
#include "ini/TemporaryName.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileStore {
namespace {

constexpr int kMaxLinkHops = 40; // the kernel's own limit (ELOOP)
// A path pointed by mistake at a disk image or a log must not make every read allocate gigabytes.
constexpr std::size_t kMaxFileSize = std::size_t(256) * 1024 * 1024;

// Everything up to and including the last '/', or nothing.
std::string folderPrefix(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string baseName(const std::string &path)
{
    return path.substr(folderPrefix(path).size());
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string &bytes)
{
    const char *data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= std::size_t(written);
    }
    return true;
}

std::string freshTemporaryPath(const std::string &path)
{
    return folderPrefix(path) + TemporaryName::fresh(baseName(path));
}

// O_EXCL with a fresh random name, so two writers never share a temporary file; mode 0666 lets the
// umask decide the bits of a new file as it would for a plain open().
int createNamedTemporary(const std::string &path, std::string &temporaryPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = freshTemporaryPath(path);
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A file with no name in the target's folder: a writer killed while it fills it leaves nothing behind.
// -1 where the file system cannot make one.
int createUnnamedTemporary(const std::string &path)
{
    return ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

// Gives an unnamed temporary file a name of our pattern, just before it is renamed over the target.
bool nameTemporary(int fd, const std::string &path, std::string &temporaryPath)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = freshTemporaryPath(path);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporaryPath.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    temporaryPath.clear();
    return false;
}

// Removes the temporary files that writers of path killed in the middle of a write left behind. Only
// regular files of our own pattern that belong to this user and have not changed for a while: a newer one
// may be another writer's, still at work.
void removeStaleTemporaries(const std::string &path)
{
    const std::string folder = folderOf(path);
    const std::string base = baseName(path);
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name(entry->d_name);
        if (!TemporaryName::isOurs(name, base))
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && now - info.st_mtime > TemporaryName::StaleSeconds)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
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
void syncFolder(const std::string &folder)
{
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.isValid())
        ::fsync(fd.get());
}

} // namespace

ReadOutcome read(const std::string &path, std::string &bytes)
{
    bytes.clear();
    // O_NONBLOCK: a FIFO at the path must not hang the caller; it is then refused as not a regular file.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.isValid())
        return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || std::size_t(info.st_size) > kMaxFileSize)
        return ReadOutcome::Failed;
    bytes.reserve(std::size_t(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return ReadOutcome::Failed;
        if (got == 0)
            return ReadOutcome::Read;
        if (bytes.size() + std::size_t(got) > kMaxFileSize)
            return ReadOutcome::Failed;
        bytes.append(chunk, std::size_t(got));
    }
}

std::optional<std::string> resolveLinks(const std::string &path)
{
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char target[PATH_MAX];
        const ssize_t size = ::readlink(current.c_str(), target, sizeof target);
        // Not a link, or nothing there: whatever is at current is what a write replaces or creates.
        if (size < 0)
            return current;
        const std::string link(target, std::size_t(size));
        current = link.starts_with('/') ? link : folderPrefix(current) + link;
    }
    return std::nullopt;
}

bool replace(const std::string &path, const std::string &bytes)
{
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    if (!existed && errno != ENOENT)
        return false;
    // A file marked read-only stays as it is, even though its folder would allow the rename. The mode bits
    // count as well as access(): root may write anything, but a file that nobody may write is kept from it too.
    if (existed && (!S_ISREG(old.st_mode) || ::access(path.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        return false;
    // Saving what the file says already must not cost it its inode: that would break hard links and drop
    // extended attributes on every save that changes nothing.
    if (existed && holds(path, bytes))
        return true;
    const auto fill = [&](int fd) {
        return (!existed || takeOverAttributes(fd, old)) && writeAll(fd, bytes) && ::fsync(fd) == 0;
    };

    std::string temporaryPath;
    bool linked = false;
    bool done = false;
    {
        Descriptor fd(createUnnamedTemporary(path));
        if (fd.isValid()) {
            if (!fill(fd.get()))
                return false;
            // Named and renamed at once: a crash leaves a name behind only between these two calls.
            linked = nameTemporary(fd.get(), path, temporaryPath);
            done = linked && ::rename(temporaryPath.c_str(), path.c_str()) == 0;
        }
    }
    // Without unnamed files here (or without /proc to name one), a named file from the start.
    if (!linked) {
        Descriptor fd(createNamedTemporary(path, temporaryPath));
        if (!fd.isValid())
            return false;
        done = fill(fd.get());
        done = fd.close() && done;
        done = done && ::rename(temporaryPath.c_str(), path.c_str()) == 0;
    }
    if (!done) {
        if (!temporaryPath.empty())
            ::unlink(temporaryPath.c_str());
        return false;
    }
    syncFolder(folderOf(path));
    removeStaleTemporaries(path);
    return true;
}

std::string_view newLineEnd()
{
    return "\n";
}

} // namespace FileStore
