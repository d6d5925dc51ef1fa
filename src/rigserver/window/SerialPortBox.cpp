#include "rigserver/window/SerialPortBox.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSerialPortInfo>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int DescriptionRole = Qt::UserRole + 1;

QString describe(const QSerialPortInfo &info)
{
    QStringList parts;
    if (!info.description().isEmpty())
        parts << info.description();
    if (!info.manufacturer().isEmpty() && !info.description().contains(info.manufacturer()))
        parts << info.manufacturer();
    if (!info.serialNumber().isEmpty())
        parts << QStringLiteral("serial %1").arg(info.serialNumber());
    return parts.join(QStringLiteral(", "));
}

} // namespace

SerialPortBox::SerialPortBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(16);
}

void SerialPortBox::setListsPorts(bool lists)
{
    // Stepping through serial models while a search is typed must not read the device tree each time.
    if (lists == m_listsPorts)
        return;
    m_listsPorts = lists;
    refresh();
}

void SerialPortBox::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

QString SerialPortBox::description(const QString &port) const
{
    const int index = findText(port);
    return index < 0 ? QString() : itemData(index, DescriptionRole).toString();
}

void SerialPortBox::refresh()
{
    // The text is the operator's: a new list must not change it, nor look like an edit.
    const QSignalBlocker blocker(this);
    const QString text = currentText();
    clear();
    if (m_listsPorts) {
        auto ports = QSerialPortInfo::availablePorts();
        std::sort(ports.begin(), ports.end(),
                  [](const auto &a, const auto &b) { return a.systemLocation() < b.systemLocation(); });
        for (const QSerialPortInfo &info : ports) {
            addItem(info.systemLocation());
            setItemData(count() - 1, describe(info), DescriptionRole);
            setItemData(count() - 1, describe(info), Qt::ToolTipRole);
        }
#ifdef Q_OS_LINUX
        const QDir byId(QStringLiteral("/dev/serial/by-id"));
        for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
            const QString about =
                QStringLiteral("stays the same when re-plugged; now %1").arg(link.canonicalFilePath());
            addItem(link.absoluteFilePath());
            setItemData(count() - 1, about, DescriptionRole);
            setItemData(count() - 1, about, Qt::ToolTipRole);
        }
#endif
    }
    setCurrentIndex(-1);
    setEditText(text);
}
