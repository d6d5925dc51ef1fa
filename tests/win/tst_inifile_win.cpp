// The settings file on Windows: the same accessor as on Linux over the Windows file store, under Wine.
#include "WineTest.h"
#include "ini/IniFile.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::wstring wide(const std::string &utf8)
{
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(std::size_t(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), size);
    return text;
}

// A fresh folder of the test's own under the temporary folder, with a name that is not ASCII; removed with
// what it holds when the test ends.
class Folder {
public:
    Folder()
    {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        char utf8[MAX_PATH * 3];
        ::WideCharToMultiByte(CP_UTF8, 0, base, -1, utf8, sizeof utf8, nullptr, nullptr);
        m_path = std::string(utf8) + "velkor \xC3\x84rger " + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(::GetTickCount64());
        ::CreateDirectoryW(wide(m_path).c_str(), nullptr);
    }
    ~Folder()
    {
        for (const std::string &name : names()) {
            const std::wstring file = wide(file_(name));
            ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file.c_str());
        }
        ::RemoveDirectoryW(wide(m_path).c_str());
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    std::string file_(const std::string &name) const { return m_path + "\\" + name; }
    // The folder's entries in the order the system lists them, joined by " | ".
    std::string listing() const
    {
        std::string joined;
        for (const std::string &name : names())
            joined += (joined.empty() ? "" : " | ") + name;
        return joined;
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        WIN32_FIND_DATAW entry{};
        const HANDLE search = ::FindFirstFileW(wide(m_path + "\\*").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE)
            return found;
        do {
            char name[MAX_PATH * 3];
            ::WideCharToMultiByte(CP_UTF8, 0, entry.cFileName, -1, name, sizeof name, nullptr, nullptr);
            if (std::string(name) != "." && std::string(name) != "..")
                found.push_back(name);
        } while (::FindNextFileW(search, &entry));
        ::FindClose(search);
        return found;
    }

private:
    std::string m_path;
};

void writeBytes(const std::string &path, const std::string &bytes)
{
    const HANDLE file = ::CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string readBytes(const std::string &path)
{
    const HANDLE file =
        ::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

void age(const std::string &path, std::uint64_t seconds)
{
    const HANDLE file = ::CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = ((std::uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime) - seconds * 10000000;
    const FILETIME then{DWORD(ticks), DWORD(ticks >> 32)};
    ::SetFileTime(file, nullptr, nullptr, &then);
    ::CloseHandle(file);
}

// The file's index on its volume, which a replacement changes.
std::uint64_t fileIndex(const std::string &path)
{
    const HANDLE file = ::CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    return (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

} // namespace

WINE_TEST(unchangedSaveLeavesTheFile)
{
    Folder folder;
    const std::string path = folder.file_("VELKOR.INI");
    writeBytes(path, "[VE2Z]\r\nOFFSET=1\r\n");
    const std::uint64_t before = fileIndex(path);
    IniFile(path).writeString("VE2Z", "OFFSET", "1");
    CHECK_EQ(fileIndex(path), before);
    IniFile(path).writeString("VE2Z", "OFFSET", "2");
    CHECK(fileIndex(path) != before);
}

WINE_TEST(writesKeepEveryOtherByte)
{
    Folder folder;
    const std::string path = folder.file_("VELKOR.INI");
    IniFile ini(path);
    ini.writeStrings("VE2Z", {{"OFFSET", "350"}, {"SHIFT", "YES"}, {"TRACK", "1"}});
    CHECK_EQ(readBytes(path), std::string("[VE2Z]\r\nOFFSET=350\r\nSHIFT=YES\r\nTRACK=1\r\n"));

    writeBytes(path, "\xEF\xBB\xBF; mine\r\n[ve2z]\r\nOffset = 1\r\n[Other]\r\nA=\xC3\xA9\r\n");
    ini.writeString("VE2Z", "OFFSET", "-2000");
    ini.writeString("VE2Z", "TRACK", "2");
    CHECK_EQ(readBytes(path), std::string("\xEF\xBB\xBF; mine\r\n[ve2z]\r\nOffset = -2000\r\nTRACK=2\r\n"
                                          "[Other]\r\nA=\xC3\xA9\r\n"));
    CHECK_EQ(ini.readString("Other", "a"), std::string("\xC3\xA9"));
    CHECK_EQ(folder.listing(), std::string("VELKOR.INI"));
}

WINE_TEST(refusedWritesChangeNothing)
{
    Folder folder;
    const std::string path = folder.file_("VELKOR.INI");
    writeBytes(path, "[VE2Z]\r\nOFFSET=1\r\n");
    ::SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK_EQ(THROWN(IniWriteError, IniFile(path).writeString("VE2Z", "OFFSET", "2")), "Unable to write to " + path);
    CHECK_EQ(readBytes(path), std::string("[VE2Z]\r\nOFFSET=1\r\n"));

    const std::string nowhere = folder.file_("gone\\VELKOR.INI");
    CHECK_EQ(THROWN(IniWriteError, IniFile(nowhere).writeString("VE2Z", "OFFSET", "2")),
             "Unable to write to " + nowhere);
    CHECK_EQ(folder.listing(), std::string("VELKOR.INI"));
}

WINE_TEST(leftoversOfACrashGoWithTheNextWrite)
{
    Folder folder;
    const std::string path = folder.file_("VELKOR.INI");
    writeBytes(folder.file_(".VELKOR.INI.stale1.tmp"), "a writer died here");
    age(folder.file_(".VELKOR.INI.stale1.tmp"), 3600);
    writeBytes(folder.file_(".VELKOR.INI.fresh2.tmp"), "another writer at work");
    writeBytes(folder.file_(".VELKOR.INI.Other.tmp"), "not ours");
    IniFile(path).writeString("VE2Z", "OFFSET", "7");
    CHECK_EQ(folder.listing(), std::string(".VELKOR.INI.fresh2.tmp | .VELKOR.INI.Other.tmp | VELKOR.INI"));
}
