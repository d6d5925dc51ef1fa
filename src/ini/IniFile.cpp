#include "IniFile.h"

#include "FileStore.h"
#include "IniText.h"

#include <QFile>

IniWriteError::IniWriteError(const QString &path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()), m_path(path)
{
}

IniFile::IniFile(QString path) : m_path(std::move(path))
{
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    QByteArray text;
    if (FileStore::read(QFile::encodeName(m_path), text) != FileStore::ReadOutcome::Read)
        return defaultValue;
    return IniText::find(text, section, key).value_or(defaultValue);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    writeStrings(section, {{key, value}});
}

void IniFile::writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues)
{
    if (m_path.isEmpty())
        throw IniWriteError(m_path);
    for (const auto &[key, value] : keysAndValues)
        if (!IniText::canStore(section, key, value))
            throw IniWriteError(m_path);
    // The rename must replace what a link points to, or it would turn the link into a plain file.
    const std::optional<QByteArray> target = FileStore::resolveLinks(QFile::encodeName(m_path));
    if (!target)
        throw IniWriteError(m_path);
    QByteArray text;
    const FileStore::ReadOutcome found = FileStore::read(*target, text);
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    if (found == FileStore::ReadOutcome::Failed)
        throw IniWriteError(m_path);
    // A link that points nowhere names a file we were never given: creating it could put a file wherever
    // the link was aimed.
    if (found == FileStore::ReadOutcome::Missing && *target != QFile::encodeName(m_path))
        throw IniWriteError(m_path);
    for (const auto &[key, value] : keysAndValues)
        text = IniText::withValue(text, section, key, value);
    if (!FileStore::replace(*target, text))
        throw IniWriteError(m_path);
}
