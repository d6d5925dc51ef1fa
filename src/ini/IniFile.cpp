#include "ini/IniFile.h"

#include "ini/FileStore.h"
#include "ini/IniText.h"

IniWriteError::IniWriteError(const std::string &path) : std::runtime_error("Unable to write to " + path), m_path(path)
{
}

IniFile::IniFile(std::string path) : m_path(std::move(path))
{
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    return find(section, key).value_or(std::string(defaultValue));
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const
{
    std::string text;
    if (FileStore::read(m_path, text) != FileStore::ReadOutcome::Read)
        return std::nullopt;
    return IniText::find(text, section, key);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    writeStrings(section, {{std::string(key), std::string(value)}});
}

void IniFile::writeStrings(std::string_view section,
                           const std::vector<std::pair<std::string, std::string>> &keysAndValues)
{
    if (m_path.empty())
        throw IniWriteError(m_path);
    for (const auto &[key, value] : keysAndValues)
        if (!IniText::canStore(section, key, value))
            throw IniWriteError(m_path);
    // The rename must replace what a link points to, or it would turn the link into a plain file.
    const std::optional<std::string> target = FileStore::resolveLinks(m_path);
    if (!target)
        throw IniWriteError(m_path);
    std::string text;
    const FileStore::ReadOutcome found = FileStore::read(*target, text);
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    if (found == FileStore::ReadOutcome::Failed)
        throw IniWriteError(m_path);
    // A link that points nowhere names a file we were never given: creating it could put a file wherever
    // the link was aimed.
    if (found == FileStore::ReadOutcome::Missing && *target != m_path)
        throw IniWriteError(m_path);
    for (const auto &[key, value] : keysAndValues)
        text = IniText::withValue(text, section, key, value, FileStore::newLineEnd());
    if (!FileStore::replace(*target, text))
        throw IniWriteError(m_path);
}
