#include "mainwindow.h"

#include "funcs.h"
#include "primetable.h"
#include "ui_about.h"

#include <QDialog>
#include <QUrl>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    ui.setupUi(this);

    connect(ui.actionAbout, SIGNAL(triggered()), this, SLOT(about()));
    connect(ui.actionPrimeTable, SIGNAL(triggered()), this, SLOT(primeTable()));
    connect(ui.nwdGo, SIGNAL(clicked()), this, SLOT(nwd()));
    connect(ui.mulmodGo, SIGNAL(clicked()), this, SLOT(mulmod()));
    connect(ui.odwrGo, SIGNAL(clicked()), this, SLOT(odwr()));
    connect(ui.expGo, SIGNAL(clicked()), this, SLOT(exp()));

    logntimer.setInterval(0);
}

MainWindow::~MainWindow() = default;

void MainWindow::nwd()
{
    const int first = ui.nwd1->value();
    const int second = ui.nwd2->value();
    ui.nwdResult->setText(
        QStringLiteral("NWD(%1, %2) = %3").arg(first).arg(second).arg(::nwd(first, second)));
}

void MainWindow::mulmod()
{
    const int a = ui.mulmod1->value();
    const int b = ui.mulmod2->value();
    const int n = ui.mulmodN->value();
    const int product = ::mulmod(a, b, n);
    ui.mulmodResult->setText(
        tr("<i>%1</i> ⋅ <i>%2</i> mod <i>%3</i> = %4").arg(a).arg(b).arg(n).arg(product));
}

void MainWindow::odwr()
{
    const int a = ui.odwr->value();
    const int n = ui.odwrN->value();
    try {
        const int inverse = ::odwr(n, a).value();
        ui.odwrResult->setText(QStringLiteral("<i>%1</i> <sup>-1</sup> mod <i>%2</i> = %3")
                                   .arg(a)
                                   .arg(n)
                                   .arg(inverse));
    } catch (const std::bad_optional_access &) {
        ui.odwrResult->setText(tr("Odwrotność nie istnieje"));
    }
}

void MainWindow::exp()
{
    const int a = ui.exp1->value();
    const int w = ui.exp2->value();
    const int n = ui.expN->value();
    const int power = ::exp(a, w, n);
    ui.expResult->setText(QStringLiteral("<i>%1</i><sup> <i>%2</i></sup> mod <i>%3</i> = %4")
                              .arg(a)
                              .arg(w)
                              .arg(n)
                              .arg(power));
}

void MainWindow::about()
{
    QDialog dialog(this);
    Ui::AboutDialog aboutUi;
    aboutUi.setupUi(&dialog);
    aboutUi.historia->setSource(QUrl(QStringLiteral("qrc:/historia.txt"), QUrl::TolerantMode));
    dialog.exec();
}

// The window outlives its closing (which only hides it), so a later request brings back
// the same list and any generation still running.
void MainWindow::primeTable()
{
    if (!primeTab)
        primeTab.reset(new PrimeTable);
    primeTab->show();
    primeTab->raise();
    primeTab->activateWindow();
}
