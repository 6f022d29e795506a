// SPDX-License-Identifier: GPL-3.0-or-later
// The About dialog and the compiled-in resources.

#include "mainwindow.h"
#include "modal.h"

#include <QtTest>

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>

#include <memory>

namespace {

const QStringList historyHeadings{
    QStringLiteral("01.03.2007 - wersja 0.1 (pierwsza wersja programu)"),
    QStringLiteral("08.03.2007 - wersja 0.2"),
    QStringLiteral("12.11.2007 - wersja 0.2.1"),
    QStringLiteral("31.03.2020 - wersja 0.3"),
};

quint32 bigEndian32(const QByteArray &bytes, int at)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(bytes.constData() + at));
}

// Facts about the dialog gathered while it was open.
struct AboutSnapshot {
    bool seen = false;
    QString objectName, title;
    bool modal = false;
    QWidget *parent = nullptr;
    int page = -1;
    QStringList pageTitles;
    QSize logo;
    QString history;
    bool aboutLinks = false, authorLinks = false;
    Qt::TextInteractionFlags historyInteraction;
    QString closeText;
    bool closeIsDefault = false;
};

AboutSnapshot inspectAndClose(QWidget *modal, int pageToLeaveOn)
{
    AboutSnapshot s;
    auto *dialog = qobject_cast<QDialog *>(modal);
    if (!dialog)
        return s;
    s.seen = true;
    s.objectName = dialog->objectName();
    s.title = dialog->windowTitle();
    s.modal = dialog->isModal();
    s.parent = dialog->parentWidget();
    auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    s.page = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i)
        s.pageTitles << tabs->tabText(i);
    s.logo =
        dialog->findChild<QLabel *>(QStringLiteral("label_3"))->pixmap(Qt::ReturnByValue).size();
    auto *history = dialog->findChild<QTextBrowser *>(QStringLiteral("historia"));
    s.history = history->document()->toPlainText();
    s.historyInteraction = history->textInteractionFlags();
    s.aboutLinks = dialog->findChild<QLabel *>(QStringLiteral("label"))->openExternalLinks();
    s.authorLinks = dialog->findChild<QLabel *>(QStringLiteral("label_2"))->openExternalLinks();
    auto *close = dialog->findChild<QPushButton *>(QStringLiteral("pushButton"));
    s.closeText = close->text();
    s.closeIsDefault = close->isDefault();
    tabs->setCurrentIndex(pageToLeaveOn);
    QTest::mouseClick(close, Qt::LeftButton);
    return s;
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void openedFromMenu();
    void reopensOnFirstPage();
    void logoResource();
    void historyResource();

private:
    AboutSnapshot openAbout(MainWindow &window, int pageToLeaveOn)
    {
        AboutSnapshot snapshot;
        testing_modal::onNextModal([&](QWidget *modal) {
            snapshot = inspectAndClose(modal, pageToLeaveOn);
            if (!snapshot.seen)
                modal->close();
        });
        window.findChild<QAction *>(QStringLiteral("actionAbout"))->trigger();
        return snapshot;
    }
};

void TestAbout::openedFromMenu()
{
    MainWindow window;
    window.show();
    const AboutSnapshot s = openAbout(window, 0);
    QVERIFY(s.seen);
    QCOMPARE(s.objectName, QStringLiteral("AboutDialog"));
    QCOMPARE(s.title, QStringLiteral("O programie"));
    QVERIFY(s.modal);
    QCOMPARE(s.parent, &window);
    QCOMPARE(s.page, 0);
    QCOMPARE(s.pageTitles, QStringList({QStringLiteral("O programie"), QStringLiteral("Autorzy"),
                                        QStringLiteral("Historia programu")}));
    QCOMPARE(s.logo, QSize(51, 53));
    QVERIFY(s.aboutLinks);
    QVERIFY(s.authorLinks);
    QCOMPARE(s.historyInteraction, Qt::TextInteractionFlags(Qt::LinksAccessibleByMouse));
    QCOMPARE(s.closeText, QStringLiteral("&Zamknij"));
    QVERIFY(s.closeIsDefault);

    int from = 0;
    for (const QString &heading : historyHeadings) {
        const int at = s.history.indexOf(heading, from);
        QVERIFY2(at >= 0, qPrintable(heading));
        from = at + heading.size();
    }
    QVERIFY(s.history.contains(QStringLiteral("różne narzędzia (NWD, mulmod, exp, odwr)")));
    // The dialog lives on the stack of the slot: nothing of it survives the call.
    QVERIFY(!window.findChild<QDialog *>());
}

void TestAbout::reopensOnFirstPage()
{
    MainWindow window;
    window.show();
    QVERIFY(openAbout(window, 2).seen);
    const AboutSnapshot second = openAbout(window, 1);
    QVERIFY(second.seen);
    QCOMPARE(second.page, 0);
}

void TestAbout::logoResource()
{
    QFile logo(QStringLiteral(":/logo_orvell.png"));
    QVERIFY(logo.open(QIODevice::ReadOnly));
    const QByteArray png = logo.readAll();
    QVERIFY(png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));
    QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
    QCOMPARE(bigEndian32(png, 16), 51u);
    QCOMPARE(bigEndian32(png, 20), 53u);
    QCOMPARE(int(png[24]), 8); // bits per channel
    QCOMPARE(int(png[25]), 2); // RGB without alpha
    QCOMPARE(int(png[28]), 0); // not interlaced
    const int phys = png.indexOf("pHYs");
    QVERIFY(phys > 0);
    QCOMPARE(bigEndian32(png, phys + 4), 2834u);
    QCOMPARE(bigEndian32(png, phys + 8), 2834u);
    QCOMPARE(int(png[phys + 12]), 1); // unit: metre
    QCOMPARE(QPixmap(QStringLiteral(":/logo_orvell.png")).size(), QSize(51, 53));
}

void TestAbout::historyResource()
{
    QFile file(QStringLiteral(":/historia.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() < 1024);
    const QString html = QString::fromUtf8(bytes);
    QVERIFY(html.contains(QStringLiteral("charset=utf-8")));
    QVERIFY(html.contains(QStringLiteral("h4 { text-align: center; }")));
    QCOMPARE(html.count(QStringLiteral("<h4>")), 4);
    QCOMPARE(html.count(QStringLiteral("<li>")), 10);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
