// SPDX-License-Identifier: GPL-3.0-or-later
#include "primetable.h"

#include "funcs.h"
#include "primefile.h"
#include "widgets/accessibility.h"
#include "widgets/copyresults.h"
#include "widgets/fileprogress.h"
#include "widgets/keyboard.h"
#include "widgets/numberitem.h"
#include "widgets/patternvalidator.h"
#include "widgets/screenfit.h"
#include "widgets/updatepacer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextStream>

#include <cerrno>

namespace {

constexpr int primesPerTick = 1000;
// The most digits the range validator lets a range field hold.
constexpr int rangeDigits = 15;
// Tested candidates grow expensive towards 15 digits; past this a tick hands the event
// loop back even if its budget of candidates is not used up.
constexpr qint64 tickMilliseconds = 10;
// Numbers saved or loaded between two passes of the event loop.
constexpr int numbersPerEventPass = 1000;
// Characters of a list being saved that are handed to the file at once.
constexpr int savedBlock = 1 << 14;
// The list view lays out every row again whenever it learns of new ones (about 40 ns a
// row), and clearing a list deletes every item: at a million rows either takes some 30 ms,
// which bounds the pauses of the window. A million items take about 100 MB.
constexpr int maximumListedNumbers = 1000000;
// How soon new rows reach the view while the end of the list is on screen, and while the
// user looks at an earlier part (then only the scroll bar changes).
constexpr qint64 rowsShownMilliseconds = 50;
constexpr qint64 scrollBarShownMilliseconds = 500;

qlonglong numberOf(const QListWidgetItem &item)
{
    if (item.type() == NumberItem::Type)
        return static_cast<const NumberItem &>(item).number();
    return item.text().toLongLong();
}

// Appends without a word to the view, which would lay out the whole list again for each
// new row; PrimeTable::showListed tells it of the new rows at once.
void appendQuietly(QListWidget &list, qlonglong number)
{
    const QSignalBlocker quiet(list.model());
    list.addItem(new NumberItem(number, Qt::AlignRight));
}

// (max - min) / 1000 cut to the low 32 bits of an int, and at least 1: on the widest
// ranges the cut leaves a negative number and so one candidate per tick. The difference of
// two qlonglong may need 65 bits.
int candidateBudget(qlonglong min, qlonglong max)
{
    __extension__ typedef __int128 Wide;
    const Wide quotient = (static_cast<Wide>(max) - min) / 1000;
    const auto low = static_cast<qint32>(static_cast<quint32>(quotient & 0xffffffff));
    return qMax(low, 1);
}

int longestLength(const QListWidget &list)
{
    int longest = 0;
    for (int i = 0; i < list.count(); ++i)
        longest = qMax(longest, decimalLength(numberOf(*list.item(i))));
    return longest;
}

QString shownName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

// Why a file could not be used, in Polish, to follow a message such as "Nie można otworzyć
// pliku X: ".
QString fileErrorText(int error)
{
    switch (error) {
    case notRegularFile:
        return QStringLiteral("to nie jest zwykły plik");
    case ENOENT:
        return QStringLiteral("nie ma takiego pliku ani katalogu");
    case EACCES:
    case EPERM:
        return QStringLiteral("brak uprawnień");
    case ENOSPC:
        return QStringLiteral("brak miejsca na dysku");
    case EDQUOT:
        return QStringLiteral("przekroczono przydział miejsca na dysku");
    case EFBIG:
        return QStringLiteral("plik przekroczyłby dopuszczalny rozmiar");
    case EROFS:
        return QStringLiteral("system plików jest tylko do odczytu");
    case EISDIR:
        return QStringLiteral("to jest katalog");
    case ENOTDIR:
        return QStringLiteral("część ścieżki nie jest katalogiem");
    case ENAMETOOLONG:
        return QStringLiteral("za długa nazwa pliku");
    case ELOOP:
        return QStringLiteral("za dużo dowiązań symbolicznych w ścieżce");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("otwarto za dużo plików");
    case EIO:
        return QStringLiteral("błąd wejścia-wyjścia");
    default:
        return QStringLiteral("błąd systemu nr %1").arg(error);
    }
}

QString saveFailure(const ListTarget &file, const QString &fileName)
{
    QString text = file.error() == 0
                       ? PrimeTable::tr("Zapisywanie pliku %1 przerwano.").arg(shownName(fileName))
                       : PrimeTable::tr("Nie udało się zapisać pliku %1: %2.")
                             .arg(shownName(fileName), fileErrorText(file.error()));
    if (file.oldFileTouched())
        text += PrimeTable::tr(" Zapisywano wprost do niego, więc jego dotychczasowa zawartość "
                               "mogła zostać zmieniona.");
    else if (file.oldFileKept())
        text += PrimeTable::tr(" Jego dotychczasowa zawartość pozostała bez zmian.");
    return text;
}

// What a save stopped by "Przerwij" left: the old file, or the part written.
QString cancelReport(const ListTarget &file, const QString &fileName, int written, int count)
{
    const QString stopped =
        PrimeTable::tr("Zapisywanie pliku %1 przerwano.").arg(shownName(fileName));
    if (file.oldFileKept())
        return stopped + PrimeTable::tr(" Jego dotychczasowa zawartość pozostała bez zmian.");
    const QString part = PrimeTable::tr(" Zapisano w nim liczb: %1 z %2.")
                             .arg(QString::number(written), QString::number(count));
    if (file.oldFileTouched())
        return stopped +
               PrimeTable::tr(" Zapisywano wprost do niego, więc jego dotychczasowej zawartości "
                              "już nie ma.") +
               part;
    return stopped + part;
}

// Hands the text written so far to the file.
bool handOver(QString &text, ListTarget &file)
{
    const QByteArray bytes = text.toLocal8Bit();
    text.clear();
    return file.write(bytes) == bytes.size();
}

// Why a load that was not cancelled did not read `file` through, empty if it did.
QString loadProblem(const ListSource &file, ListToken last, qint64 line, const QString &fileName,
                    int count)
{
    const QString name = shownName(fileName);
    const QString read = QString::number(count);
    if (file.error() != 0)
        return PrimeTable::tr("Błąd odczytu pliku %1: %2. Wczytano liczb: %3.")
            .arg(name, fileErrorText(file.error()), read);
    if (file.endedEarly())
        return PrimeTable::tr("Plik %1 został skrócony w trakcie odczytu. Wczytano liczb: %2 – "
                              "tylko te, które odczytano w całości.")
            .arg(name, read);
    if (last == ListToken::NotAnInteger)
        return PrimeTable::tr("Wczytano liczb: %1. Dalsza część pliku %2, od wiersza %3, nie "
                              "jest listą liczb całkowitych.")
            .arg(read, name, QString::number(line));
    if (file.changed())
        return PrimeTable::tr("Plik %1 zmienił się w trakcie odczytu. Wczytano liczb: %2; lista "
                              "może nie odpowiadać jego obecnej zawartości.")
            .arg(name, read);
    return {};
}

} // namespace

PrimeTable::PrimeTable(QWidget *parent)
    : QWidget(parent)
    , listLimit(maximumListedNumbers)
{
    ui.setupUi(this);

    connect(ui.load, SIGNAL(clicked()), this, SLOT(loadTable()));
    connect(ui.save, SIGNAL(clicked()), this, SLOT(saveTable()));
    connect(ui.min, SIGNAL(textChanged(QString)), this, SLOT(updateState()));
    connect(ui.max, SIGNAL(textChanged(QString)), this, SLOT(updateState()));
    connect(ui.generate, SIGNAL(clicked()), this, SLOT(generate()));
    connect(&timer, SIGNAL(timeout()), this, SLOT(timeout()));

    updateState();

    auto *range = newPatternValidator(QStringLiteral("[1-9][0-9]{0,14}"), this);
    ui.min->setValidator(range);
    ui.max->setValidator(range);
    for (QLineEdit *field : {ui.min, ui.max})
        showWholeNumbers(field, rangeDigits);

    EnterPresses::install(this);
    EnterPresses::install(ui.generate, {ui.min, ui.max});
    RowCopier::install(ui.list);
    describeForAssistiveTechnology();
}

PrimeTable::~PrimeTable() = default;

// A window for a screen reader, as a plain widget is not; names of its fields and list,
// and how many numbers the list holds.
void PrimeTable::describeForAssistiveTechnology()
{
    UpdatePacer::install();
    exposeAsWindow(this);
    nameField(ui.min, tr("Od"), ui.label);
    nameField(ui.max, tr("Do"), ui.label_2);
    nameField(ui.list, tr("Liczby pierwsze"));
    RowCountDescription::install(ui.list, tr("Liczb: %1"));
}

void PrimeTable::announceListed()
{
    announce(ui.generate, tr("Liczb na liście: %1").arg(ui.list->count()));
}

void PrimeTable::setListLimit(int limit)
{
    listLimit = limit;
}

void PrimeTable::updateState()
{
    ui.generate->setEnabled(!ui.min->text().isEmpty() && !ui.max->text().isEmpty());
}

void PrimeTable::setFileAndRangeEnabled(bool enabled)
{
    ui.save->setEnabled(enabled);
    ui.load->setEnabled(enabled);
    ui.min->setEnabled(enabled);
    ui.max->setEnabled(enabled);
}

// Saving and loading let the event loop run, and the progress dialog blocks the window
// only once it has appeared: until the file is done, a click could otherwise start a
// generation or another load that changes the list midway.
void PrimeTable::setFileWorkRunning(bool running)
{
    setFileAndRangeEnabled(!running);
    if (running)
        ui.generate->setEnabled(false);
    else
        updateState();
}

void PrimeTable::generate()
{
    const bool running = timer.isActive();
    setFileAndRangeEnabled(running);
    if (running) {
        timer.stop();
        showListed(true);
        ui.generate->setText(QStringLiteral("Generuj liczby"));
        announceListed();
        return;
    }
    ui.generate->setText(QStringLiteral("Stop"));
    clearList();
    m_current = ui.min->text().toLongLong();
    if (m_current % 2 == 0)
        ++m_current;
    timer.start(1);
}

void PrimeTable::finishGeneration()
{
    timer.stop();
    showListed(true);
    ui.generate->setText(QStringLiteral("Generuj liczby"));
    setFileAndRangeEnabled(true);
    announceListed();
}

// Moves to the next candidate: every odd number, with 1 and 2 before 3. False when the
// next candidate would not fit qlonglong, which only a field set past its validator allows.
bool PrimeTable::advanceCandidate()
{
    const qlonglong step = m_current > 2 ? 2 : 1;
    return !__builtin_add_overflow(m_current, step, &m_current);
}

void PrimeTable::timeout()
{
    const qlonglong max = ui.max->text().toLongLong();
    const qlonglong min = ui.min->text().toLongLong();
    if (m_current > max) {
        finishGeneration();
        return;
    }
    const int budget = candidateBudget(min, max);
    QElapsedTimer clock;
    clock.start();
    int found = 0;
    bool exhausted = false;
    bool full = false;
    for (int examined = 1;; ++examined) {
        const bool isPrime = prime(m_current);
        if (isPrime) {
            full = !listNumber(m_current);
            if (full)
                break;
            ++found;
        }
        if (!advanceCandidate()) {
            exhausted = true;
            break;
        }
        // Even a 15-digit prime takes only microseconds: the clock is read every few
        // candidates, not at every one.
        const bool readClock = examined % 16 == 0;
        if (m_current > max || examined >= budget || found >= primesPerTick ||
            (readClock && clock.hasExpired(tickMilliseconds)))
            break;
    }
    if (exhausted || full)
        finishGeneration();
    else
        showListed(false);
    if (full)
        reportListFull(windowTitle());
}

void PrimeTable::clearList()
{
    ui.list->clear();
    unshownRows = 0;
    sinceShown.start();
}

// Appends a number to the list; false, appending nothing, once the list is full.
bool PrimeTable::listNumber(qlonglong number)
{
    if (ui.list->count() >= listLimit)
        return false;
    appendQuietly(*ui.list, number);
    ++unshownRows;
    return true;
}

// Tells the view of the rows appended since the last time, so it lays them out. Unless
// `now`, that waits until enough time has passed: each time costs a layout of the whole
// list. The rows were only appended, so no row the view or the selection knows has moved;
// a change of layout is the one public word that makes the view count the rows again.
void PrimeTable::showListed(bool now)
{
    if (unshownRows == 0)
        return;
    const QScrollBar *bar = ui.list->verticalScrollBar();
    const qint64 wait =
        bar->value() == bar->maximum() ? rowsShownMilliseconds : scrollBarShownMilliseconds;
    if (!now && !sinceShown.hasExpired(wait))
        return;
    QAbstractItemModel *model = ui.list->model();
    emit model->layoutAboutToBeChanged();
    emit model->layoutChanged();
    unshownRows = 0;
    sinceShown.start();
}

void PrimeTable::reportListFull(const QString &title)
{
    QMessageBox::information(this, title,
                             tr("Lista pokazuje %1 liczb, najwięcej, ile może pomieścić. "
                                "Dalszych liczb nie umieszczono na liście.")
                                 .arg(ui.list->count()));
}

// The buttons are off while a file is saved or loaded, so the focus leaves the one that
// started the work; it goes back to where it was.
void PrimeTable::saveTable()
{
    const FocusReturns focusReturns;
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Wybierz plik"), QStringLiteral("primes.txt"));
    if (fileName.isEmpty())
        return;
    setFileWorkRunning(true);
    const int count = ui.list->count();
    const int longest = longestLength(*ui.list);
    ListTarget file;
    int cancelledAt = -1;
    const bool ended = file.openFile(fileName, ListWriter::fileSize(count, longest),
                                     ListWriter::fieldWidth(longest)) &&
                       writeList(file, longest, cancelledAt);
    if (!ended)
        file.discard();
    setFileWorkRunning(false);
    if (!ended)
        QMessageBox::critical(this, tr("Zapisywanie"), saveFailure(file, fileName));
    else if (cancelledAt >= 0)
        QMessageBox::information(this, tr("Zapisywanie"),
                                 cancelReport(file, fileName, cancelledAt, count));
}

// Writes the list into `file` and commits it; false when that failed or the save was
// abandoned (the dialog closed, the program quitting), which keeps the old file. After the
// user's "Przerwij", `cancelledAt` holds the numbers written: they stay where no old file is
// left to keep (there was none, or it was written in place and has lost its content), and
// otherwise the old file stays. The text is handed to the file in blocks, so that nothing
// of it reaches the file once the save has stopped.
bool PrimeTable::writeList(ListTarget &file, int longest, int &cancelledAt)
{
    QString text;
    QTextStream out(&text);
    ListWriter writer(out, longest);
    FileProgress progress(tr("Zapisywanie listy"), tr("Zapisywanie"), tr("Przerwij"),
                          ui.list->count(), this);
    int written = 0;
    while (written < ui.list->count()) {
        writer.write(numberOf(*ui.list->item(written)));
        if (written % numbersPerEventPass == 0) {
            progress.setDone(written);
            QCoreApplication::processEvents();
        }
        ++written;
        if (progress.wasCanceled())
            break;
        if (text.size() >= savedBlock && !handOver(text, file))
            return false;
    }
    if (progress.closed())
        return file.oldFileTouched() && writeRest(writer, text, file, written);
    if (progress.wasCanceled()) {
        cancelledAt = written;
        if (file.oldFileKept()) {
            file.discard();
            return true;
        }
    }
    return handOver(text, file) && file.commit();
}

// A save abandoned while it writes in place (the program ending on a logout, say) can no
// longer keep the old content, and a shorter list would pass for the whole one: the rest
// is written at once, without an event pass, which a list of the largest size takes well
// under a second to.
bool PrimeTable::writeRest(ListWriter &writer, QString &text, ListTarget &file, int written)
{
    for (; written < ui.list->count(); ++written) {
        writer.write(numberOf(*ui.list->item(written)));
        if (text.size() >= savedBlock && !handOver(text, file))
            return false;
    }
    return handOver(text, file) && file.commit();
}

void PrimeTable::loadTable()
{
    const FocusReturns focusReturns;
    const QString fileName =
        QFileDialog::getOpenFileName(this, tr("Wybierz plik"), QStringLiteral("primes.txt"));
    if (fileName.isEmpty() || !QFile::exists(fileName))
        return;
    ListSource file;
    if (!file.openFile(fileName)) {
        QMessageBox::critical(this, tr("Odczytywanie"),
                              tr("Nie można otworzyć pliku %1: %2.")
                                  .arg(shownName(fileName), fileErrorText(file.error())));
        return;
    }
    setFileWorkRunning(true);
    const QString problem = readList(file, fileName);
    setFileWorkRunning(false);
    if (!problem.isEmpty())
        QMessageBox::warning(this, tr("Odczytywanie"), problem);
}

// Replaces the list with the numbers of `file`. Returns why it did not read the file
// through, empty when it did or the user cancelled; the numbers read before stay.
QString PrimeTable::readList(ListSource &file, const QString &fileName)
{
    const qint64 size = file.size();
    QTextStream in(&file);
    clearList();
    ui.list->setUniformItemSizes(true);

    FileProgress progress(tr("Wczytywanie listy"), tr("Odczytywanie"), tr("Przerwij"), size, this);
    qlonglong value = 0;
    ListToken token;
    ListReader reader(in);
    bool full = false;
    for (int read = 0;;) {
        token = reader.next(value);
        if (token == ListToken::Number) {
            // Where the file ended early, the number before its end may have lost digits.
            if (reader.lastAtEnd() && file.endedEarly())
                break;
            full = !listNumber(value);
            if (full)
                break;
            ++read;
        } else if (token != ListToken::Pending) {
            break;
        }
        if (token == ListToken::Pending || read % numbersPerEventPass == 0) {
            showListed(false);
            progress.setDone(file.pos());
            QCoreApplication::processEvents();
        }
        if (progress.wasCanceled())
            break;
    }
    showListed(true);
    if (full) {
        progress.reset();
        reportListFull(tr("Wczytywanie listy"));
    }
    if (progress.wasCanceled())
        return {};
    return loadProblem(file, token, reader.line(), fileName, ui.list->count());
}
