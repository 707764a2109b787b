#pragma once

// The screen object: its size in twips and the mouse pointer shown over every window of the program.
namespace Screen {

constexpr int vbDefault = 0;
constexpr int vbHourglass = 11;

double widthTwips();
double heightTwips();
// The part of the screen that windows may take, without the desktop's own panels; 0 when there is no screen.
double availableWidthTwips();
double availableHeightTwips();

// Setting the hourglass shows the busy cursor until the pointer is set back to the default.
void setMousePointer(int pointer);
int mousePointer();

} // namespace Screen
