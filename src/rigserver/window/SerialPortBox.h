// SerialPortBox: where a radio is connected. For a serial model, an editable list of the serial ports
// present, read again whenever the list opens, so a radio plugged in meanwhile shows up; on Linux the
// stable /dev/serial/by-id names come too, as they survive re-plugging. For other models a plain text.
// Threads: GUI thread (listing ports reads the device tree, it opens no port).
#pragma once

#include <QComboBox>

class SerialPortBox final : public QComboBox {
    Q_OBJECT

public:
    explicit SerialPortBox(QWidget *parent = nullptr);

    // Whether the list offers the serial ports present; the text stays as it is.
    void setListsPorts(bool lists);
    // Reads the ports present again.
    void refresh();
    // What the port it names is, for the operator ("CP2102 USB to UART Bridge Controller, Silicon Labs"),
    // or an empty text when it names no port in the list.
    QString description(const QString &port) const;

    void showPopup() override;

private:
    bool m_listsPorts = false;
};
