// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SCREENFIT_H
#define SCREENFIT_H

#include <QMargins>
#include <QRect>
#include <QSize>

class QLineEdit;
class QTabWidget;
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

// Shows a window, grown to what its scrolling pages need to show whole, with its whole
// frame within the available area of its screen. The frame is known only once the window
// system has framed the window: under X11 at its first exposure, under Wayland (the
// toolkit's own decoration) as soon as it is shown.
void showWithinScreen(QWidget *window);

// Grows a shown window by the room its scrolling pages lack to show whole, as far as
// `available` leaves room for its frame. It never shrinks the window.
void growToContent(QWidget *window, const QRect &available);

// Puts each page of `tabs` into a frameless scroll area of its own, in its place: a page
// keeps its size where there is room and scrolls where there is not, under a tab bar that
// stays in view. When a page comes to need more room than it has, for a longer text, the
// window grows to show it, as far as its screen allows.
void scrollPagesWhenCramped(QTabWidget *tabs);

// Makes a one-line field wide enough to show a number of `digits` digits whole in its font.
void showWholeNumbers(QLineEdit *field, int digits);

#endif // SCREENFIT_H
