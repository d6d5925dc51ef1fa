// Small helpers shared by every test executable.
#pragma once

#include <QByteArray>
#include <QString>

namespace TestSupport {

// The whole content of a file, or an empty array when it cannot be read.
QByteArray readFileBytes(const QString &path);

} // namespace TestSupport
