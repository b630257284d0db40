#pragma once

#include <QColor>
#include <QFont>

// The look the shell's screens share with the control kit's artwork.
namespace VelquorShellStyle {

inline QColor accentColor()
{
    return QColor(0x17, 0x75, 0x87);
} // Btn_Nor
inline QColor accentLightColor()
{
    return QColor(0x1E, 0x8D, 0xA1);
} // Btn_Fcs
inline QColor bandColor()
{
    return QColor(0x0E, 0x45, 0x53);
} // head
inline QColor deepColor()
{
    return QColor(0x13, 0x5A, 0x6B);
} // AppIcon
inline QColor textColor()
{
    return QColor(0x1F, 0x2A, 0x33);
}
inline QColor secondaryTextColor()
{
    return QColor(0x5B, 0x6B, 0x78);
}
inline QColor pageColor()
{
    return QColor(0xF4, 0xF6, 0xF8);
}
inline QColor fieldColor()
{
    return Qt::white;
}
inline QColor linkColor()
{
    return QColor(0x1F, 0x6F, 0xB2);
}
inline QColor linkPressedColor()
{
    return QColor(0xD6, 0x45, 0x45);
}
inline QColor requiredColor()
{
    return QColor(0xD6, 0x45, 0x45);
} // xing

inline constexpr int kTitleBarHeight = 44;

// "System font N": a font of N pixels.
inline QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

} // namespace VelquorShellStyle
