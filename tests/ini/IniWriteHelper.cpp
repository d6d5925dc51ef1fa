// A separate process for the tests of IniFile that need one: to be killed in the middle of a write, to write
// under a file-size limit, or to write without root's right to ignore permissions.
//
//   ini_write_helper loop PATH VALUE...            writes [VE2Z] OFFSET with each VALUE in turn, for ever;
//                                                  prints "started" after the first write
//   ini_write_helper write PATH VALUE [--fsize N] [--unprivileged]
//                                                  writes [VE2Z] OFFSET once; prints the error's text
//
// Exit codes: 0 written, 1 IniWriteError, 2 usage, 3 the limit or the user could not be set.
#include "ini/IniFile.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

bool limitFileSize(const char *bytes)
{
    // The limit makes write() fail with EFBIG, as a full disk fails with ENOSPC; without SIG_IGN the
    // signal that comes with it would end the process before the library saw the error.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t size = std::strtoull(bytes, nullptr, 10);
    const rlimit limit{size, size};
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// Root writes through any permission bits, so a test of read-only files and folders runs as nobody.
bool dropPrivileges()
{
    return geteuid() != 0 || (setgid(kNobody) == 0 && setuid(kNobody) == 0);
}

int loop(const std::string &path, char **values, int count)
{
    IniFile ini(path);
    for (long turn = 0;; ++turn) {
        ini.writeString("VE2Z", "OFFSET", values[turn % count]);
        if (turn == 0) {
            std::puts("started");
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const std::string mode = argv[1];
    const std::string path = argv[2];
    try {
        if (mode == "loop")
            return loop(path, argv + 3, argc - 3);
        if (mode != "write")
            return 2;
        for (int i = 4; i < argc; ++i) {
            const bool ok = std::strcmp(argv[i], "--unprivileged") == 0
                                ? dropPrivileges()
                                : std::strcmp(argv[i], "--fsize") == 0 && i + 1 < argc && limitFileSize(argv[++i]);
            if (!ok)
                return 3;
        }
        IniFile(path).writeString("VE2Z", "OFFSET", argv[3]);
        return 0;
    } catch (const IniWriteError &error) {
        std::fputs(error.what(), stdout);
        return 1;
    }
}
