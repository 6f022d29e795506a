// SPDX-License-Identifier: GPL-3.0-or-later
#include "identity.h"

#include <QApplication>
#include <QIcon>

void setApplicationIdentity()
{
    // The desktop entry's name without ".desktop". The application name stays the
    // program's file name: under X11 it is the class of the windows, which the entry names
    // as its StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral(KALMORA_APP_ID));
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/kalmora-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}
