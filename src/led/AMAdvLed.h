// TAMAdvLed: a 13 x 13 LED lamp in one of 16 shapes and four border looks, lit in one colour and
// unlit in another.
//
// Responsibilities: keeps the LED's properties and the rules that tie them together (a flat look has
// no border style, a border style needs the 3D look); picks one of the 64 checked-in images
// (":/led/<name>.dib") when the shape or look changes; at paint time recolours that image in two
// colour-key passes, the silver lens to the on or off colour, then the olive background to the
// parent's background colour, and paints the result over its rectangle.
//
// Collaborations: the panel creates it as a child of its window, calls loaded() once its properties
// are set, then writes LedOn and ColorOn and shows, hides, enables and disables it. The LED has no
// window of its own: as a plain child widget it paints into its parent's backing store, and since it
// covers every pixel of its rectangle (Qt::WA_OpaquePaintEvent) the parent never paints beneath it.
// Mouse events are left to the parent.
//
// Thread: GUI thread only. The state-change handler runs synchronously inside the LedOn write.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

class TAMAdvLed : public QWidget {
    Q_OBJECT
    // In the order in which stored properties are applied.
    Q_PROPERTY(TBorder BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(quint32 ColorOff READ ColorOff WRITE setColorOff)
    Q_PROPERTY(quint32 ColorOn READ ColorOn WRITE setColorOn)
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE setCtl3D)
    Q_PROPERTY(bool LedOn READ LedOn WRITE setLedOn)
    Q_PROPERTY(TLedType LedType READ LedType WRITE setLedType)

public:
    enum TBorder : quint8 { brDefault, brRaised, brLowered };
    Q_ENUM(TBorder)

    enum TLedType : quint8 {
        ltDiamond,
        ltEllipsHrz,
        ltEllipsVrt,
        ltMoonLeft,
        ltMoonRight,
        ltParallelBck,
        ltParallelFwd,
        ltPentagon,
        ltRound,
        ltRectangleHrz,
        ltRectangleVrt,
        ltSquare,
        ltTriangleDwn,
        ltTriangleLeft,
        ltTriangleRight,
        ltTriangleUp
    };
    Q_ENUM(TLedType)

    // 0x00BBGGRR: red in the low byte. The top byte is kept but plays no part in painting.
    using TColor = quint32;
    using TLedStateChanged = std::function<void(TAMAdvLed *Sender, bool LedOn, qint32 NumSwitch)>;

    static constexpr int LedSize = 13;

    explicit TAMAdvLed(QWidget *owner = nullptr);

    TBorder BorderStyle() const { return m_BorderStyle; }
    // Any style but brDefault also turns Ctl3D on. Out-of-range values are kept and add no suffix.
    void setBorderStyle(TBorder value);

    TColor ColorOff() const { return m_ColorOff; }
    void setColorOff(TColor value) { setColor(0, value); }
    TColor ColorOn() const { return m_ColorOn; }
    void setColorOn(TColor value) { setColor(1, value); }
    // The one colour write behind ColorOff (index 0) and ColorOn (index 1); other indices change
    // nothing. Redraws in every case, also when the colour was already set.
    void setColor(qint32 index, TColor value);

    bool Ctl3D() const { return m_Ctl3D; }
    // Turning it off also sets BorderStyle to brDefault; turning it on does not bring the style back.
    void setCtl3D(bool value);

    bool LedOn() const { return m_LedOn; }
    // A real change counts, calls OnLedStateChanged with the new count, then redraws. Writing the
    // current value does nothing at all.
    void setLedOn(bool value);

    TLedType LedType() const { return m_LedType; }
    // Out-of-range values are kept and show the round LED.
    void setLedType(TLedType value);

    const TLedStateChanged &OnLedStateChanged() const { return m_OnLedStateChanged; }
    void setOnLedStateChanged(TLedStateChanged handler) { m_OnLedStateChanged = std::move(handler); }

    // End of loading, once the owner has set the properties: the LED runs at 13 x 13 whatever size
    // it was created with.
    void loaded();

    // The image that LoadLedBitmap last chose, e.g. "AMRNDLED3DUP".
    QString loadedImageName() const { return m_ImageName; }
    // The current shape image, as loaded (before recolouring).
    const QImage &ledBitmap() const { return LedBitmap; }

    QSize sizeHint() const override { return {LedSize, LedSize}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void LoadLedBitmap();
    void redrawNow();
    QRgb fillColor() const;

    QImage LedBitmap;
    QImage WorkBitmap;
    QString m_ImageName;
    TBorder m_BorderStyle = brRaised;
    TColor m_ColorOff = 0x008000;
    TColor m_ColorOn = 0x00FF00;
    bool m_Ctl3D = true;
    bool m_LedOn = false;
    TLedType m_LedType = ltRound;
    qint32 SwitchCount = 0;
    TLedStateChanged m_OnLedStateChanged;
};
