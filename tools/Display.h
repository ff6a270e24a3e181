#pragma once
// Keeps the fixed-size layout whole on any screen: Qt scales it by the screen's exact factor,
// and text keeps the size the layout was drawn for.
class QApplication;

// Before the QApplication exists: scale by 1.25 or 1.5 as the screen says, not rounded to 1 or 2.
void SetDisplayScalingPolicy();
// After: where the font DPI is larger than the scaling accounts for (scaling turned off or rounded
// down), fonts would outgrow the fixed layout and be clipped; they are brought back in proportion.
void FitFontsToLayout(QApplication &app);
