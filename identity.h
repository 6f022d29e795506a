// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef IDENTITY_H
#define IDENTITY_H

// Tells the desktop which application the windows belong to: the desktop entry they are
// started from (under Wayland their app id) and the icon of their title bars and task
// switchers. Called once, after the application object is made.
void setApplicationIdentity();

#endif // IDENTITY_H
