// Prints the time of one settings write (one key, and the panel's three keys in one replacement) and of one read,
// as median and worst of 1000, on the folder that holds the temporary directory.
#include "ini/IniFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 1000;

template <typename Call> void report(const char *what, Call call)
{
    std::vector<qint64> nanoseconds;
    nanoseconds.reserve(kRuns);
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        call(run);
        nanoseconds.push_back(timer.nsecsElapsed());
    }
    std::sort(nanoseconds.begin(), nanoseconds.end());
    std::printf("%-36s median %8.1f us   worst %8.1f us\n", what, nanoseconds[kRuns / 2] / 1000.0,
                nanoseconds.back() / 1000.0);
}

} // namespace

int main()
{
    QTemporaryDir folder;
    IniFile ini(folder.filePath(QStringLiteral("VELKOR.INI")).toStdString());
    ini.writeString("VE2Z", "SHIFT", "YES");
    ini.writeString("VE2Z", "TRACK", "0");
    std::printf("folder: %s\n", qPrintable(folder.path()));
    report("write OFFSET (atomic, fsync'ed)",
           [&](int run) { ini.writeString("VE2Z", "OFFSET", std::to_string(run % 4001 - 2000)); });
    report("write OFFSET, SHIFT, TRACK at once", [&](int run) {
        ini.writeStrings("VE2Z", {{"OFFSET", std::to_string(run % 4001 - 2000)}, {"SHIFT", "YES"}, {"TRACK", "0"}});
    });
    report("read OFFSET", [&](int) { ini.readString("VE2Z", "OFFSET"); });
}
