#include "HexStr.h"

#include <QLocale>

bool IsNumericText(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c != u',' && c != u'-' && c != u'.' && (c < u'0' || c > u'9'))
            return false;
    return true;
}

QString UpperCaseText(const QString &text)
{
    return QLocale::system().toUpper(text);
}
