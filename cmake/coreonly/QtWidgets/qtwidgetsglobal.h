// SPDX-License-Identifier: GPL-3.0-or-later
// Every header of Qt Widgets includes this one first. Found here, ahead of Qt's own, it stops
// the compilation of the logic library, which builds on Qt Core alone.
#error "the logic library uses Qt Core only: no Qt GUI or Qt Widgets header may be included"
