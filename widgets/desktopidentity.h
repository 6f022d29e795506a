// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DESKTOPIDENTITY_H
#define DESKTOPIDENTITY_H

#include <QString>

// Tells the desktop which application the windows belong to: `desktopFileName`, the name
// of their desktop entry without ".desktop" (under Wayland also their app id), and the
// icon of their title bars and task switchers, made of every picture in the resource
// folder `iconFolder`. Called once, after the application object is made.
void setDesktopIdentity(const QString &desktopFileName, const QString &iconFolder);

#endif // DESKTOPIDENTITY_H
