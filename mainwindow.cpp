// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "funcs.h"
#include "primetable.h"
#include "spokenresult.h"
#include "ui_about.h"
#include "widgets/accessibility.h"
#include "widgets/copyresults.h"
#include "widgets/keyboard.h"
#include "widgets/longwordwrap.h"
#include "widgets/numberitem.h"
#include "widgets/patternvalidator.h"
#include "widgets/screenfit.h"
#include "widgets/updatepacer.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QTextDocument>
#include <QUrl>

#include <optional>
#include <utility>

namespace {

using qll = qlonglong;

// The next exponent the exhaustive logarithm search tests.
qll currentLogNStart = 0;

// A search slice tests this many exponents before it returns to the event loop.
constexpr int logNSliceSize = 20;

// The Log n list stops growing here. a = 1, y = 1 matches every exponent up to 2000000000.
// An item costs about 115 bytes, and the list lays out all its rows again after every
// insertion: a full list holds about 12 MB and lays itself out in about 10 ms.
constexpr int defaultLogNListLimit = 100000;

// Work that changes a widget on every pass of the event loop paints it at most this often,
// about once per display frame; painting each change would cost more than the work.
constexpr qint64 frameMs = 16;

// Starts a new frame when the last one is over; true if the caller may paint now.
bool frameDue(QElapsedTimer &lastPaint)
{
    if (lastPaint.isValid() && !lastPaint.hasExpired(frameMs))
        return false;
    lastPaint.start();
    return true;
}

// "n = p ⋅ q" with n as typed. One multi-argument fill, so a '%' typed into the field
// cannot be taken for a placeholder of the factors; the typed text is escaped, so it shows
// as typed instead of being read as markup.
QString factorisationText(const QString &typed, qll p, qll q)
{
    return MainWindow::tr("%1 = %2 ⋅ %3")
        .arg(typed.toHtmlEscaped(), QString::number(p), QString::number(q));
}

// The number in a field. The digits-only validator admits every Unicode decimal digit,
// which the toolkit's conversion does not read: each digit is taken by its value, and
// anything else converts as before (text that is no number gives 0).
qll typedNumber(const QString &typed)
{
    QString ascii = typed;
    for (QChar &c : ascii) {
        if (c.isDigit())
            c = QChar(u'0' + c.digitValue());
    }
    return ascii.toLongLong();
}

// Qt 5 cannot ask a Wayland compositor to activate a window, and only warns; the compositor
// focuses a newly shown window itself. Qt 6 asks through xdg-activation where it is offered.
bool canRequestActivation()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
#else
    return true;
#endif
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , lognListLimit(defaultLogNListLimit)
{
    ui.setupUi(this);

    connect(ui.actionAbout, SIGNAL(triggered()), this, SLOT(about()));
    connect(ui.actionPrimeTable, SIGNAL(triggered()), this, SLOT(primeTable()));
    connect(ui.nwdGo, SIGNAL(clicked()), this, SLOT(nwd()));
    connect(ui.mulmodGo, SIGNAL(clicked()), this, SLOT(mulmod()));
    connect(ui.odwrGo, SIGNAL(clicked()), this, SLOT(odwr()));
    connect(ui.expGo, SIGNAL(clicked()), this, SLOT(exp()));
    connect(ui.primeGo, SIGNAL(clicked()), this, SLOT(testPrime()));
    connect(ui.pollardGo, SIGNAL(clicked()), this, SLOT(pollardRho()));
    connect(ui.pollard1Go, SIGNAL(clicked()), this, SLOT(pollard1()));
    connect(ui.shanksGo, SIGNAL(clicked()), this, SLOT(shanks()));
    connect(ui.lognGo, SIGNAL(clicked()), this, SLOT(calculateLogN()));
    connect(&logntimer, SIGNAL(timeout()), this, SLOT(lognstep()));
    connect(ui.crcButton, SIGNAL(clicked()), this, SLOT(calculateChecksum()));

    logntimer.setInterval(0);

    auto *digitsOnly = newPatternValidator(QStringLiteral("\\d{1,15}"), this);
    ui.pollardRho->setValidator(digitsOnly);
    ui.primeNumber->setValidator(digitsOnly);

    ui.fermatPb->setVisible(false);

    // Typed text in a factorisation result is escaped; rich text shows every escaped
    // character as typed, where automatic detection would show some entities raw.
    ui.pollardPResult->setTextFormat(Qt::RichText);
    ui.pollardRhoResult->setTextFormat(Qt::RichText);

    EnterPresses::install(this);
    MenuKey::install(this);
    makeSelectable({ui.nwdResult, ui.mulmodResult, ui.expResult, ui.odwrResult, ui.primeResult,
                    ui.pollardRhoResult, ui.pollardPResult, ui.shanksResult, ui.crcLabel});
    RowCopier::install(ui.lognResult);
    scrollPagesWhenCramped(ui.tabWidget);
    // Every row holds one number, so the list need not measure each row to lay them out.
    ui.lognResult->setUniformItemSizes(true);
    LongWordWrap::attach(ui.crcContent);
    describeForAssistiveTechnology();
}

MainWindow::~MainWindow() = default;

// What a screen reader needs beyond what the form tells it: a name of its own for every
// field, labelled by the label beside it; the results in words, announced after each press
// of their button; how many exponents the Log n list holds. Nothing visible changes.
void MainWindow::describeForAssistiveTechnology()
{
    UpdatePacer::install();

    nameField(ui.nwd1, tr("NWD – pierwsza liczba"), ui.label_2);
    nameField(ui.nwd2, tr("NWD – druga liczba"), ui.label_3);
    nameField(ui.mulmod1, tr("Mnożenie – pierwszy czynnik"), ui.label_5);
    nameField(ui.mulmod2, tr("Mnożenie – drugi czynnik"), ui.label_6);
    nameField(ui.mulmodN, tr("Mnożenie – moduł"), ui.label_7);
    nameField(ui.exp1, tr("Potęgowanie – podstawa"), ui.label_8);
    nameField(ui.exp2, tr("Potęgowanie – wykładnik"), ui.label_9);
    nameField(ui.expN, tr("Potęgowanie – moduł"), ui.label_10);
    nameField(ui.odwr, tr("Odwrotność – baza"), ui.label);
    nameField(ui.odwrN, tr("Odwrotność – moduł"), ui.label_4);
    nameField(ui.primeNumber, tr("Test pierwszości – testowana liczba"), ui.label_11);
    nameField(ui.primeTries, tr("Test pierwszości – liczba prób"), ui.label_12);
    nameField(ui.fermatPb, tr("Test pierwszości – postęp"));
    nameField(ui.pollardRho, tr("Pollard rho – liczba do faktoryzacji"), ui.label_13);
    nameField(ui.pollardP, tr("Pollard p-1 – liczba do faktoryzacji"), ui.label_17);
    nameField(ui.qs, tr("Quadratic sieve – liczba do faktoryzacji"), ui.label_18);
    nameField(ui.shanksA, tr("Shanks – a"), ui.label_28);
    nameField(ui.shanksY, tr("Shanks – y"), ui.label_30);
    nameField(ui.shanksN, tr("Shanks – n"), ui.label_29);
    nameField(ui.spinBox_11, tr("Log – a"), ui.label_32);
    nameField(ui.spinBox_10, tr("Log – y"), ui.label_31);
    nameField(ui.spinBox_12, tr("Log – n"), ui.label_33);
    nameField(ui.lognA, tr("Log n – a"), ui.label_21);
    nameField(ui.lognY, tr("Log n – y"), ui.label_22);
    nameField(ui.lognN, tr("Log n – n"), ui.label_23);
    nameField(ui.lognResult, tr("Log n – znalezione wykładniki"));
    nameField(ui.crcContent, tr("Tekst do obliczenia CRC32"));
    RowCountDescription::install(ui.lognResult, tr("Wykładników: %1"));

    speakLabel(ui.label_25, spokenResult);
    const std::pair<QAbstractButton *, QLabel *> results[] = {
        {ui.nwdGo, ui.nwdResult},           {ui.mulmodGo, ui.mulmodResult},
        {ui.expGo, ui.expResult},           {ui.odwrGo, ui.odwrResult},
        {ui.primeGo, ui.primeResult},       {ui.pollardGo, ui.pollardRhoResult},
        {ui.pollard1Go, ui.pollardPResult}, {ui.shanksGo, ui.shanksResult},
        {ui.crcButton, ui.crcLabel}};
    for (const auto &[button, result] : results) {
        speakLabel(result, spokenResult);
        ResultAnnouncer::install(button, result);
    }
}

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

void MainWindow::testPrime()
{
    ui.primeResult->clear();
    const long long n = typedNumber(ui.primeNumber->text());
    const auto tries = static_cast<size_t>(ui.primeTries->value());
    if (ui.fermat->isChecked()) {
        ui.fermatPb->show();
        // Runs before every trial: moves the bar and lets the window respond. The bar's
        // value is always the trial's; it is painted once a frame.
        QElapsedTimer barPainted;
        auto progress = [this, &barPainted](unsigned long trial) {
            ui.fermatPb->setUpdatesEnabled(frameDue(barPainted));
            ui.fermatPb->setValue(static_cast<int>(trial + 1));
            QCoreApplication::processEvents();
        };
        const std::optional<double> probability = ::fermat(n, tries, progress);
        ui.fermatPb->setUpdatesEnabled(true);
        ui.fermatPb->hide();
        if (probability)
            ui.primeResult->setText(tr("Liczba jest pierwsza z prawdopodobieństwem %L1%")
                                        .arg(*probability * 100, 0, 'f', 2));
        else
            ui.primeResult->setText(tr("Liczba jest złożona"));
    } else {
        if (::solStra(n, tries))
            ui.primeResult->setText(tr("Liczba jest prawdopodobnie pierwsza"));
        else
            ui.primeResult->setText(tr("Liczba jest złożona"));
    }
}

void MainWindow::pollardRho()
{
    const QString typed = ui.pollardRho->text();
    try {
        const auto factors = ::pollard(typedNumber(typed)).value();
        ui.pollardRhoResult->setText(factorisationText(typed, factors.first, factors.second));
    } catch (const QString &message) {
        ui.pollardRhoResult->setText(message);
    } catch (const std::bad_optional_access &) {
        ui.pollardRhoResult->setText(tr("Liczba prawdopodobnie jest pierwsza"));
    }
}

void MainWindow::pollard1()
{
    const DisabledWhileBusy busy(ui.groupBox_8);
    ui.pollardPResult->clear();
    // Paint the disabled box and the cleared result before the computation starts.
    QCoreApplication::processEvents();
    const QString typed = ui.pollardP->text();
    try {
        const auto factors = ::pollard1(typedNumber(typed)).value();
        ui.pollardPResult->setText(factorisationText(typed, factors.first, factors.second));
    } catch (const std::bad_optional_access &) {
        ui.pollardPResult->setText(tr("Prawdopodobnie liczba pierwsza"));
    }
}

void MainWindow::shanks()
{
    const int n = ui.shanksN->value();
    const int a = ui.shanksA->value();
    const int y = ui.shanksY->value();
    try {
        const int x = ::shanks2(n, a, y).value();
        ui.shanksResult->setText(
            tr("log<sub>%1</sub>%2 (mod <i>%3</i>) = %4").arg(a).arg(y).arg(n).arg(x));
    } catch (...) {
        // No inverse of a, no solution or no memory for the table: one message for all.
        ui.shanksResult->setText(QStringLiteral("Nie znaleziono logarytmu"));
    }
}

void MainWindow::setLogNFieldsEnabled(bool enabled)
{
    ui.lognA->setEnabled(enabled);
    ui.lognY->setEnabled(enabled);
    ui.lognN->setEnabled(enabled);
}

void MainWindow::setLogNListLimit(int limit)
{
    lognListLimit = limit;
}

void MainWindow::listPendingExponents()
{
    for (const qll exponent : lognPending)
        ui.lognResult->addItem(new NumberItem(exponent));
    lognPending.clear();
}

// Leaves the search with every match found in the list and the button painted at once.
void MainWindow::endLogN(const QString &buttonText)
{
    logntimer.stop();
    listPendingExponents();
    ui.lognGo->setUpdatesEnabled(true);
    ui.lognGo->setMinimumSize(0, 0);
    ui.lognGo->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    ui.lognGo->setText(buttonText);
    setLogNFieldsEnabled(true);
}

// A button whose text changes width asks the window to lay itself out again, and the
// window's smallest size follows the button's, so every slice would repaint the whole
// window. While the search runs the button keeps one size, wide enough for the last count.
void MainWindow::holdLogNButtonSize(qll lastExponent)
{
    ui.lognGo->setText(tr("Stop (%1)").arg(lastExponent + 1));
    ui.lognGo->setFixedSize(ui.lognGo->size().expandedTo(ui.lognGo->sizeHint()));
}

// The list is full and the next match has no place in it. The search stops where that
// match is, as if the user had stopped it there; the status bar says why, without a box
// that would wait for a click while the window could go on working.
void MainWindow::stopLogNAtListLimit()
{
    endLogN(tr("Znajdz logarytm"));
    ui.statusbar->showMessage(tr("Log n: lista pełna (pozycji: %1). Wyszukiwanie zatrzymano "
                                 "na wykładniku %2; dalszych wykładników nie wypisano.")
                                  .arg(lognListLimit)
                                  .arg(currentLogNStart));
    announce(ui.lognGo, ui.statusbar->currentMessage());
}

// The matches of the Log n list, in words: all of them when there are few.
QString MainWindow::logNFound() const
{
    constexpr int mostSaid = 10;
    const int count = ui.lognResult->count();
    if (count == 0)
        return tr("nie znaleziono wykładnika");
    QStringList first;
    for (int i = 0; i < qMin(count, mostSaid); ++i)
        first << ui.lognResult->item(i)->text();
    if (count <= mostSaid)
        return tr("znalezione wykładniki: %1").arg(first.join(QStringLiteral(", ")));
    return tr("znaleziono wykładników: %1, pierwsze z nich: %2")
        .arg(count)
        .arg(first.join(QStringLiteral(", ")));
}

void MainWindow::calculateLogN()
{
    const bool searching = logntimer.isActive();
    if (searching) {
        endLogN(tr("Znajdz logarytm"));
        announce(ui.lognGo, tr("Log n: wyszukiwanie zatrzymane, %1.").arg(logNFound()));
    } else {
        setLogNFieldsEnabled(false);
        currentLogNStart = 0;
        lognPending.clear();
        ui.lognResult->clear();
        ui.statusbar->clearMessage();
        holdLogNButtonSize(ui.lognN->value());
        logntimer.start(0);
        ui.lognGo->setText(tr("Stop"));
    }
}

// The button shows the next exponent after every slice; it and the list are painted once
// a frame, since a slice takes far less time than a paint.
void MainWindow::lognstep()
{
    const qll a = ui.lognA->value();
    const qll y = ui.lognY->value();
    const qll n = ui.lognN->value();
    if (n < currentLogNStart) {
        endLogN(tr("Znajdź logarytm"));
        announce(ui.lognGo, tr("Log n: wyszukiwanie zakończone, %1.").arg(logNFound()));
        return;
    }
    for (int i = 0; i < logNSliceSize; ++i) {
        if (y == ::exp(a, currentLogNStart, n)) {
            if (ui.lognResult->count() + static_cast<qll>(lognPending.size()) >= lognListLimit) {
                stopLogNAtListLimit();
                return;
            }
            lognPending.push_back(currentLogNStart);
        }
        ++currentLogNStart;
        if (n < currentLogNStart)
            break;
    }
    const bool paint = frameDue(lognPainted);
    ui.lognGo->setUpdatesEnabled(paint);
    ui.lognGo->setText(tr("Stop (%1)").arg(currentLogNStart));
    if (paint) {
        listPendingExponents();
        // Now, not at the next pass of the event loop: the next slice turns the updates
        // off again, maybe before that pass.
        ui.lognGo->repaint();
    }
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
    if (!primeTab) {
        primeTab.reset(new PrimeTable);
        fitToScreen(primeTab.data());
        showWithinScreen(primeTab.data());
    }
    primeTab->show();
    primeTab->raise();
    if (canRequestActivation())
        primeTab->activateWindow();
}

void MainWindow::calculateChecksum()
{
    const QByteArray bytes = ui.crcContent->document()->toPlainText().toLocal8Bit();
    const unsigned int checksum = ::crc32(bytes.constData());
    ui.crcLabel->setText(QStringLiteral("hex=0x%1\tdec=%2")
                             .arg(QString::number(checksum, 16).toUpper())
                             .arg(checksum));
}
