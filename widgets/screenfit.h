#ifndef SCREENFIT_H
#define SCREENFIT_H

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// The size a window asks for, cut down to an available screen area.
QSize sizeWithin(const QSize &wanted, const QRect &available);

// The client rectangle of a window whose frame has the given margins: `client` as it is
// where the frame lies within `available`; otherwise cut to the room the frame leaves and
// moved as little as needed for the whole frame to be within the area.
QRect clientGeometryWithin(const QRect &client, const QRect &available, const QMargins &frame);

// Sizes and places a window that is about to be shown so that it lies within the available
// area of its screen: small or scaled screens would otherwise hide its lower part.
void fitToScreen(QWidget *window);

// Shows a window with its whole frame within the available area of its screen. The frame is known
// only once the window system has framed the window: under X11 at its first exposure, under Wayland
// (the toolkit's own decoration) as soon as it is shown.
void showWithinScreen(QWidget *window);

// Puts `content` into a frameless scroll area in its place in its parent's layout. The
// content keeps its size where there is room; where there is not, it can be scrolled
// instead of forcing a window larger than the screen.
void scrollWhenCramped(QWidget *content);

#endif // SCREENFIT_H
