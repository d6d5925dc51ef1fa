#include "ini/FileStore.h"

#include "ini/TemporaryName.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

namespace FileStore {
namespace {

// A path pointed by mistake at a disk image or a log must not make every read allocate gigabytes.
constexpr std::uint64_t kMaxFileSize = std::uint64_t(256) * 1024 * 1024;

// Closes a handle on every way out of a scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle()
    {
        if (isValid())
            ::CloseHandle(m_handle);
    }
    HANDLE get() const { return m_handle; }
    bool isValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    bool close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

std::wstring wide(const std::string &utf8)
{
    if (utf8.empty())
        return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(std::size_t(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), text.data(), size);
    return text;
}

std::string utf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Everything up to and including the last separator, or nothing.
std::wstring folderPrefix(const std::wstring &path)
{
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

bool writeAll(HANDLE file, const std::string &bytes)
{
    const char *data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : DWORD(left);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// CREATE_NEW with a fresh random name, so two writers never share a temporary file.
HANDLE createTemporary(const std::wstring &path, std::wstring &temporaryPath)
{
    const std::wstring folder = folderPrefix(path);
    const std::string base = utf8(path.substr(folder.size()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = folder + wide(TemporaryName::fresh(base));
        const HANDLE file =
            ::CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Removes the temporary files that writers of path killed in the middle of a write left behind, once they
// have not changed for a while: a newer one may be another writer's, still at work.
void removeStaleTemporaries(const std::wstring &path)
{
    const std::wstring folder = folderPrefix(path);
    const std::string base = utf8(path.substr(folder.size()));
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FILETIME nowTime{};
    ::GetSystemTimeAsFileTime(&nowTime);
    const auto ticks = [](const FILETIME &time) {
        return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const std::uint64_t stale = std::uint64_t(TemporaryName::StaleSeconds) * 10000000; // 100 ns units
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            TemporaryName::isOurs(utf8(found.cFileName), base) && ticks(nowTime) - ticks(found.ftLastWriteTime) > stale)
            ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

} // namespace

ReadOutcome read(const std::string &path, std::string &bytes)
{
    bytes.clear();
    const std::wstring name = wide(path);
    if (name.empty())
        return ReadOutcome::Failed;
    Handle file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid()) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::Missing
                                                                              : ReadOutcome::Failed;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.get(), &size) ||
        std::uint64_t(size.QuadPart) > kMaxFileSize)
        return ReadOutcome::Failed;
    bytes.reserve(std::size_t(size.QuadPart));
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            return ReadOutcome::Failed;
        if (got == 0)
            return ReadOutcome::Read;
        if (bytes.size() + got > kMaxFileSize)
            return ReadOutcome::Failed;
        bytes.append(chunk, got);
    }
}

std::optional<std::string> resolveLinks(const std::string &path)
{
    // Opening and replacing by name follow a link to its target here; there is nothing to resolve first.
    return path;
}

bool replace(const std::string &path, const std::string &bytes)
{
    const std::wstring target = wide(path);
    if (target.empty())
        return false;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (!existed && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    // A file marked read-only stays as it is.
    if (existed && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    // Saving what the file says already must not replace it: that would break its hard links and change its
    // time stamps on every save that changes nothing.
    if (existed && holds(path, bytes))
        return true;

    std::wstring temporaryPath;
    Handle file(createTemporary(target, temporaryPath));
    if (!file.isValid())
        return false;
    bool done = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    done = file.close() && done;
    // ReplaceFileW keeps the old file's attributes and security; a folder that cannot do it (some network
    // shares) still takes a plain replacing move.
    done = done &&
           ((existed && ::ReplaceFileW(target.c_str(), temporaryPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                       nullptr, nullptr)) ||
            ::MoveFileExW(temporaryPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (!done) {
        ::DeleteFileW(temporaryPath.c_str());
        return false;
    }
    removeStaleTemporaries(target);
    return true;
}

std::string_view newLineEnd()
{
    // What the system's own profile functions write.
    return "\r\n";
}

} // namespace FileStore
