#pragma once

#include <QtCore/QRect>

class QPainter;
class QWidget;

// Themed pieces several controls share, drawn with the application style.

// One button of a command row: the push-button panel when enabled and pressed or hot,
// then the command's 16 x 16 icon centred (the faded icon when disabled). Nothing for id 0
// or an empty rectangle.
void DrawCmdButton(QPainter* p, int id, const QRect& rc, bool enabled, bool pressed, bool hot,
                   const QWidget* w = nullptr);

// Radio and check glyphs. A checked glyph that is not enabled keeps the mark of the
// enabled look: its centre is drawn once more, enabled, over the disabled glyph.
void DrawRadioButton(QPainter* p, const QRect& rc, bool checked, bool enabled, bool hot, const QWidget* w = nullptr);
void DrawCheckBox(QPainter* p, const QRect& rc, bool checked, bool enabled, bool hot, const QWidget* w = nullptr);

// A combo-box border around a read-only or disabled control; when not enabled and a window
// is given, the inside (2 pixels in) shows that window's parent background.
void DrawComboFrame(QPainter* p, const QRect& rc, bool enabled, const QWidget* w = nullptr);

// Screen DPI, read once and kept for the process; the row height and button size of the
// controls follows from it: max(24, dpi x 24 / 96 - 2).
int ScreenDpi();
// The DPI read now (a resolution changed while running differs from ScreenDpi()).
int ReadScreenDpi();
int RowHeight();
// Tests: the DPI kept and the DPI read now (0 for the screen's).
void SetScreenDpiOverride(int kept, int current = 0);
