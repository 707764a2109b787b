#include "platform/screen/FormSize.h"

#include "platform/screen/Twips.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

// Rounds up, so that a window is never smaller than asked: a minimum size that is not a whole number
// of pixels would otherwise be missed by a pixel again and again.
int pixelsAtLeast(double twips)
{
    return std::max(1, static_cast<int>(std::ceil(twips / Twips::PerPixel - 1e-9)));
}

} // namespace

namespace FormSize {

double widthTwips(const QWidget& form)
{
    return Twips::fromPixels(form.width());
}

double heightTwips(const QWidget& form)
{
    return Twips::fromPixels(form.height());
}

void setWidthTwips(QWidget& form, double twips)
{
    form.resize(pixelsAtLeast(twips), form.height());
}

void setHeightTwips(QWidget& form, double twips)
{
    form.resize(form.width(), pixelsAtLeast(twips));
}

void placeControlTwips(QWidget& control, double left, double top, double width, double height)
{
    control.setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}

} // namespace FormSize
