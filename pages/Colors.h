#pragma once
// Colours as the unit's world writes them (&HBBGGRR) and the few system colours the pages use.
#include <QColor>

class QWidget;

inline QColor VbColor(unsigned bbggrr) {
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

namespace Colors {
inline const QColor PointOn = VbColor(65280); // green: bit set
inline const QColor PointOff = VbColor(255);  // red: bit clear
inline const QColor LampDisconnected = VbColor(0x800000);
inline const QColor LampConnected = VbColor(0x00F000);
inline const QColor LampMonitoring = VbColor(0x80FFFF);
QColor ButtonFace(); // grey of a value control that holds nothing uploaded
QColor Window();     // white of an editable value control
QColor ToolTip();    // neutral background of an indicator at rest
inline const QColor TextGreen = QColor(0, 128, 0); // an "ON" / "OFF" state text
inline const QColor TextRed = QColor(255, 0, 0);
} // namespace Colors

// Background of a text box or cell, the same in every state (enabled, disabled, read-only).
void SetBackColor(QWidget *w, const QColor &c);
QColor BackColor(const QWidget *w);
// Text colour of a text box, the same in every state.
void SetForeColor(QWidget *w, const QColor &c);
QColor ForeColor(const QWidget *w);
