#ifndef SCREENFIT_H
#define SCREENFIT_H

#include <QRect>
#include <QSize>

class QWidget;

// The size a window asks for, cut down to an available screen area.
QSize sizeWithin(const QSize &wanted, const QRect &available);

// Sizes and places a window that is about to be shown so that it lies within the available
// area of its screen: small or scaled screens would otherwise hide its lower part.
void fitToScreen(QWidget *window);

// Puts `content` into a frameless scroll area in its place in its parent's layout. The
// content keeps its size where there is room; where there is not, it can be scrolled
// instead of forcing a window larger than the screen.
void scrollWhenCramped(QWidget *content);

#endif // SCREENFIT_H
