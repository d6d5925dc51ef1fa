// TAMAdvLed: a 13 x 13 LED lamp in one of 16 shapes and four border looks, lit in one colour and
// unlit in another, as a Qt widget.
//
// Responsibilities: the Qt face of LedCore, which holds the properties and their rules, the image and
// the switch count: this widget forwards the writes, repaints when the core asks, and at paint time blits
// the pixels the core makes for the parent's background colour.
//
// Collaborations: the panel creates it as a child of its window, calls loaded() once its properties
// are set, then writes LedOn and ColorOn and shows, hides, enables and disables it. The LED has no
// window of its own: as a plain child widget it paints into its parent's backing store, and since it
// covers every pixel of its rectangle (Qt::WA_OpaquePaintEvent) the parent never paints beneath it.
// Mouse events are left to the parent.
//
// Thread: GUI thread only. The state-change handler runs synchronously inside the LedOn write.
#pragma once

#include "led/core/LedCore.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class TAMAdvLed : public QWidget, private LedFace {
    Q_OBJECT
    // In the order in which stored properties are applied.
    Q_PROPERTY(TBorder BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(quint32 ColorOff READ ColorOff WRITE setColorOff)
    Q_PROPERTY(quint32 ColorOn READ ColorOn WRITE setColorOn)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE setCtl3D)
    Q_PROPERTY(bool LedOn READ LedOn WRITE setLedOn)
    Q_PROPERTY(TLedType LedType READ LedType WRITE setLedType)

public:
    enum TBorder : quint8 {
        brDefault = LedCore::brDefault,
        brRaised = LedCore::brRaised,
        brLowered = LedCore::brLowered
    };
    Q_ENUM(TBorder)

    enum TLedType : quint8 {
        ltDiamond = LedCore::ltDiamond,
        ltEllipsHrz = LedCore::ltEllipsHrz,
        ltEllipsVrt = LedCore::ltEllipsVrt,
        ltMoonLeft = LedCore::ltMoonLeft,
        ltMoonRight = LedCore::ltMoonRight,
        ltParallelBck = LedCore::ltParallelBck,
        ltParallelFwd = LedCore::ltParallelFwd,
        ltPentagon = LedCore::ltPentagon,
        ltRound = LedCore::ltRound,
        ltRectangleHrz = LedCore::ltRectangleHrz,
        ltRectangleVrt = LedCore::ltRectangleVrt,
        ltSquare = LedCore::ltSquare,
        ltTriangleDwn = LedCore::ltTriangleDwn,
        ltTriangleLeft = LedCore::ltTriangleLeft,
        ltTriangleRight = LedCore::ltTriangleRight,
        ltTriangleUp = LedCore::ltTriangleUp
    };
    Q_ENUM(TLedType)

    // 0x00BBGGRR: red in the low byte. The top byte is kept but plays no part in painting.
    using TColor = LedCore::TColor;
    using TLedStateChanged = std::function<void(TAMAdvLed *Sender, bool LedOn, qint32 NumSwitch)>;

    static constexpr int LedSize = ::LedSize;

    explicit TAMAdvLed(QWidget *owner = nullptr);

    TBorder BorderStyle() const { return TBorder(m_core.BorderStyle()); }
    // Any style but brDefault also turns Ctl3D on. Out-of-range values are kept and add no suffix.
    void setBorderStyle(TBorder value) { m_core.setBorderStyle(LedCore::TBorder(value)); }

    TColor ColorOff() const { return m_core.ColorOff(); }
    void setColorOff(TColor value) { setColor(0, value); }
    TColor ColorOn() const { return m_core.ColorOn(); }
    void setColorOn(TColor value) { setColor(1, value); }
    // The one colour write behind ColorOff (index 0) and ColorOn (index 1); other indices change
    // nothing. Redraws in every case, also when the colour was already set.
    void setColor(qint32 index, TColor value) { m_core.setColor(index, value); }

    bool Ctl3D() const { return m_core.Ctl3D(); }
    // Turning it off also sets BorderStyle to brDefault; turning it on does not bring the style back.
    void setCtl3D(bool value) { m_core.setCtl3D(value); }

    bool LedOn() const { return m_core.LedOn(); }
    // A real change counts, calls OnLedStateChanged with the new count, then redraws. Writing the
    // current value does nothing at all.
    void setLedOn(bool value) { m_core.setLedOn(value); }

    TLedType LedType() const { return TLedType(m_core.LedType()); }
    // Out-of-range values are kept and show the round LED.
    void setLedType(TLedType value) { m_core.setLedType(LedCore::TLedType(value)); }

    const TLedStateChanged &OnLedStateChanged() const { return m_OnLedStateChanged; }
    void setOnLedStateChanged(TLedStateChanged handler);

    // End of loading, once the owner has set the properties: the LED runs at 13 x 13 whatever size
    // it was created with.
    void loaded();

    // The image that LoadLedBitmap last chose, e.g. "AMRNDLED3DUP".
    QString loadedImageName() const { return QString::fromStdString(m_core.imageName()); }
    // The current shape image, as loaded (before recolouring).
    QImage ledBitmap() const;

    QSize sizeHint() const override { return {LedSize, LedSize}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void redrawNow() override;
    QRgb fillColor() const;

    QImage WorkBitmap;
    TLedStateChanged m_OnLedStateChanged;
    LedCore m_core;
};
