// SPDX-License-Identifier: GPL-3.0-or-later
// How the desktop knows the program's windows: the desktop entry they belong to and their
// icon.

#include "mainwindow.h"
#include "widgets/desktopidentity.h"

#include <QtTest>

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>

#include <algorithm>

class TestIdentity : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void desktopEntryNamed();
    void windowClassMatchesEntry();
    void iconFromResources();
    void windowsShowApplicationIcon();
    void aboutResourcesUntouched();

private:
    static QString desktopEntryPath();
    QString defaultApplicationName;
};

QString TestIdentity::desktopEntryPath()
{
    return QStringLiteral(KALMORA_SOURCE_DIR "/packaging/%1.desktop")
        .arg(QGuiApplication::desktopFileName());
}

void TestIdentity::initTestCase()
{
    defaultApplicationName = QCoreApplication::applicationName();
    setDesktopIdentity(QStringLiteral(KALMORA_APP_ID), QStringLiteral(":/icons"));
}

// Under Wayland the desktop file name is the app id, by which the compositor finds the
// entry, its name and its icon.
void TestIdentity::desktopEntryNamed()
{
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.example.Kalmora"));
    QVERIFY2(QFileInfo::exists(desktopEntryPath()), qPrintable(desktopEntryPath()));
}

// Under X11 the class of a window is the application name, which is left as the program's
// file name: the entry's StartupWMClass must be the program its Exec line starts.
void TestIdentity::windowClassMatchesEntry()
{
    QCOMPARE(QCoreApplication::applicationName(), defaultApplicationName);
    QCOMPARE(defaultApplicationName, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QSettings entry(desktopEntryPath(), QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    const QString program =
        entry.value(QStringLiteral("Exec")).toString().section(QLatin1Char(' '), 0, 0);
    QCOMPARE(program, QStringLiteral("kalmora"));
    QCOMPARE(entry.value(QStringLiteral("StartupWMClass")).toString(), program);
}

void TestIdentity::iconFromResources()
{
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes{QSize(48, 48), QSize(128, 128), QSize(256, 256)};
    QList<QSize> available = icon.availableSizes();
    std::sort(available.begin(), available.end(),
              [](const QSize &a, const QSize &b) { return a.width() < b.width(); });
    QCOMPARE(available, sizes);
    for (const QSize &size : sizes) {
        QCOMPARE(icon.pixmap(size).size(), size);
        // The same pictures the package installs into the icon theme.
        const QString installed =
            QStringLiteral(KALMORA_SOURCE_DIR "/packaging/icons/kalmora-%1.png").arg(size.width());
        QCOMPARE(icon.pixmap(size).toImage(),
                 QImage(installed).convertToFormat(icon.pixmap(size).toImage().format()));
    }
}

// The windows take the application's icon; the main window has none of its own.
void TestIdentity::windowsShowApplicationIcon()
{
    MainWindow window;
    QVERIFY(!window.testAttribute(Qt::WA_SetWindowIcon));
    QCOMPARE(window.windowIcon().availableSizes(), QApplication::windowIcon().availableSizes());
}

// The icons are a collection of their own: the About dialog's keeps exactly its two files.
void TestIdentity::aboutResourcesUntouched()
{
    QCOMPARE(QDir(QStringLiteral(":/")).entryList(QDir::Files),
             (QStringList{QStringLiteral("historia.txt"), QStringLiteral("logo_orvell.png")}));
    QCOMPARE(QDir(QStringLiteral(":/icons")).entryList(QDir::Files),
             (QStringList{QStringLiteral("kalmora-128.png"), QStringLiteral("kalmora-256.png"),
                          QStringLiteral("kalmora-48.png")}));
}

QTEST_MAIN(TestIdentity)
#include "tst_identity.moc"
