// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopidentity.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

void setDesktopIdentity(const QString &desktopFileName, const QString &iconFolder)
{
    // The application name stays the program's file name: under X11 it is the class of the
    // windows, which the desktop entry names as its StartupWMClass.
    QGuiApplication::setDesktopFileName(desktopFileName);
    QIcon icon;
    for (const QFileInfo &picture : QDir(iconFolder).entryInfoList(QDir::Files, QDir::Name))
        icon.addFile(picture.filePath());
    QApplication::setWindowIcon(icon);
}
