#include "IniFile.h"

IniWriteError::IniWriteError(const QString &path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()), m_path(path)
{
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::readString(const QString &, const QString &, const QString &defaultValue) const
{
    return defaultValue;
}

void IniFile::writeString(const QString &, const QString &, const QString &)
{
    throw IniWriteError(m_path);
}
