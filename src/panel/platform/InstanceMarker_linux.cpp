// The mark on Linux: an exclusive flock() on a file in a folder that only this user may enter. The lock belongs
// to the open file, so the kernel drops it when the process ends, however it ends; the file stays and is
// harmless. The folder is $XDG_RUNTIME_DIR, which the login makes for the user's sessions. Where that is not
// set (su, a bare X session), a folder of our own in the user's cache folder, which no other user can make
// first, as one in /tmp could be made by anybody to lock the owner out.
#include "panel/platform/InstanceMarker.h"

#include "ini/Descriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// An environment variable's value when it is an absolute path, else nothing.
std::string absoluteVariable(const char *name)
{
    const char *value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

enum class Access { OwnerOnly, Owned };

// The folder at path (relative to at), when it is this user's and, for OwnerOnly, closed to everyone else.
// A link in the last place is never followed: it could lead into a folder that someone else controls.
Descriptor openFolder(int at, const char *path, Access access)
{
    Descriptor folder(::openat(at, path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!folder.isValid() || ::fstat(folder.get(), &info) != 0 || info.st_uid != ::geteuid() ||
        (access == Access::OwnerOnly && (info.st_mode & 077) != 0))
        return Descriptor();
    return folder;
}

std::string homeFolder()
{
    const std::string home = absoluteVariable("HOME");
    if (!home.empty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return std::string(found->pw_dir);
    return {};
}

// <cache>/velkor, made for this user alone; the cache folder itself may be a link (to another disk) but must
// be the user's.
Descriptor ownCacheFolder()
{
    std::string cache = absoluteVariable("XDG_CACHE_HOME");
    if (cache.empty()) {
        const std::string home = homeFolder();
        if (home.empty())
            return Descriptor();
        cache = home + "/.cache";
    }
    if (::mkdir(cache.c_str(), 0700) != 0 && errno != EEXIST)
        return Descriptor();
    Descriptor parent(::open(cache.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info {};
    if (!parent.isValid() || ::fstat(parent.get(), &info) != 0 || info.st_uid != ::geteuid())
        return Descriptor();
    if (::mkdirat(parent.get(), "velkor", 0700) != 0 && errno != EEXIST)
        return Descriptor();
    return openFolder(parent.get(), "velkor", Access::OwnerOnly);
}

// The folder for the mark and the name of its file there. The cache folder may be shared by several machines
// (a home on NFS, whose locks reach across them), so a mark there names the machine.
Descriptor markFolder(const std::string &name, std::string &file)
{
    const std::string runtime = absoluteVariable("XDG_RUNTIME_DIR");
    if (!runtime.empty()) {
        Descriptor folder = openFolder(AT_FDCWD, runtime.c_str(), Access::OwnerOnly);
        if (folder.isValid()) {
            file = name + ".lock";
            return folder;
        }
    }
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    file = name + '@' + host + ".lock";
    return ownCacheFolder();
}

} // namespace

bool InstanceMarker::claim(const std::string &name)
{
    if (m_handle >= 0)
        return true;
    std::string file;
    const Descriptor folder = markFolder(name, file);
    // O_CLOEXEC: a program started from here (rigctld) must not keep the lock once this process has ended.
    Descriptor mark(
        folder.isValid() ? ::openat(folder.get(), file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600) : -1);
    if (mark.isValid() && ::flock(mark.get(), LOCK_EX | LOCK_NB) == 0) {
        m_handle = mark.take();
        return true;
    }
    if (mark.isValid() && errno == EWOULDBLOCK)
        return false;
    std::fputs("VELKOR: no private folder for the one-instance mark; this copy runs unmarked\n", stderr);
    return true;
}

void InstanceMarker::release()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
    m_handle = -1;
}
