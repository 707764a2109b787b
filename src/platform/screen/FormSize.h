#pragma once

class QWidget;

// A window's size in twips, read and set. It is the window's own size, menu bar included, without the
// frame that a window manager may add: the frame is not known before the window is first shown, and a
// size that is stored and set again must come back the same.
namespace FormSize {

double widthTwips(const QWidget& form);
double heightTwips(const QWidget& form);
void setWidthTwips(QWidget& form, double twips);
void setHeightTwips(QWidget& form, double twips);
// Places a control inside its window at a position and size given in twips.
void placeControlTwips(QWidget& control, double left, double top, double width, double height);

} // namespace FormSize
