// SPDX-License-Identifier: GPL-3.0-or-later
// The prime table window end to end, one benchmark per figure a user meets:
//   plainPrimeLoop, windowGeneration  generation to 10^7 against a plain loop of prime()
//                                     (counter ratio_to_plain_loop)
//   gapsNearTopOf15Digits             longest event-loop gap over the 10^4 numbers below 10^15
//   rowsOnScreen/<end>                time until a painted row shows in the list, the same after
//                                     scrolling to the end, and the longest gap, while 1 to
//                                     <end> is generated
//   replaceList/<how>                 longest gap when a full list is replaced by a generation
//                                     (0) or a load (1)
//   saveFullList, loadTenMillion      longest gaps of saving the full list and of loading a
//                                     file of 10^7 numbers (the list stops at its cap)
//   loadTenMillionUncapped            the same without the cap: the memory 10^7 items take
//   memoryWhileGenerating             growth of the resident memory while 1 to 10^9 runs
// Peak memory (peak_rss_MiB) is the process's own (getrusage), so run one benchmark per
// process (--benchmark_filter) to read it for that benchmark alone. Runs offscreen and on
// an X server (QT_QPA_PLATFORM=xcb under xvfb-run), where painting costs show.

#include "childnamed.h"
#include "funcs.h"
#include "modal.h"
#include "primetable.h"
#include "rununtil.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr qlonglong generationEnd = 10000000;
constexpr int fileNumbers = 10000000;
// The most items the window lists (its cap).
constexpr int fullList = 1000000;

double peakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double residentMiB()
{
    FILE *statm = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// Records the longest time between two passes of the event loop while it is armed.
class GapProbe {
public:
    GapProbe()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_armed)
                m_longest = qMax(m_longest, m_sinceLast.nsecsElapsed());
            m_sinceLast.restart();
        });
        m_timer.start(0);
        m_sinceLast.start();
    }
    void arm()
    {
        m_armed = true;
        m_sinceLast.restart();
    }
    void disarm() { m_armed = false; }
    void reset() { m_longest = 0; }
    double longestMs() const { return static_cast<double>(m_longest) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
    bool m_armed = false;
};

bool isGenerating(PrimeTable &table)
{
    return childNamed<QPushButton>(&table, "generate")->text() == QLatin1String("Stop");
}

void startGeneration(PrimeTable &table, qlonglong min, qlonglong max)
{
    childNamed<QLineEdit>(&table, "min")->setText(QString::number(min));
    childNamed<QLineEdit>(&table, "max")->setText(QString::number(max));
    childNamed<QPushButton>(&table, "generate")->click();
}

// Generations here take seconds; one still running after two minutes has hung.
constexpr int generationTimeoutMs = 120000;

void generateToEnd(PrimeTable &table, qlonglong min, qlonglong max)
{
    startGeneration(table, min, max);
    if (!runUntil([&] { return !isGenerating(table); }, generationTimeoutMs))
        qFatal("the generation did not end within %d s", generationTimeoutMs / 1000);
}

// Shows the window with a few rows painted, so the first painting of text (fonts, glyph
// caches) is not counted as a pause of the list.
void showSettled(PrimeTable &table)
{
    table.show();
    generateToEnd(table, 1, 30);
    QElapsedTimer clock;
    clock.start();
    runUntil([&] { return clock.hasExpired(300); });
}

// Clicks `button` and answers its file dialog with `path`; `accepted` restarts when the
// dialog is answered, so it measures the work after the choice of the file. A message box
// that follows (the list is full) is closed.
void clickWithFile(QPushButton *button, const QString &path, QElapsedTimer &accepted,
                   GapProbe *probe = nullptr)
{
    testing_modal::onNextModal([&, path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        if (probe)
            probe->arm();
        accepted.start();
    });
    button->click();
}

// A file of the numbers 1 .. count, one per line, written once per process.
QString numbersFile(int count)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("numbers-%1.txt").arg(count));
    if (QFileInfo::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray content;
    for (int n = 1; n <= count; ++n) {
        content += QByteArray::number(n) + '\n';
        if (content.size() > (1 << 20)) {
            file.write(content);
            content.clear();
        }
    }
    file.write(content);
    return path;
}

// Loads a file; returns the longest gap of the event loop after the file was chosen.
double loadFile(PrimeTable &table, const QString &path, GapProbe &probe, QElapsedTimer &accepted)
{
    testing_modal::Watchdog closesTheCapMessage;
    clickWithFile(childNamed<QPushButton>(&table, "load"), path, accepted, &probe);
    probe.disarm();
    return probe.longestMs();
}

qint64 plainLoopNs()
{
    QElapsedTimer clock;
    clock.start();
    qlonglong found = 0;
    for (qlonglong n = 1; n <= generationEnd; n += n > 2 ? 2 : 1)
        found += prime(n) ? 1 : 0;
    benchmark::DoNotOptimize(found);
    return clock.nsecsElapsed();
}

void plainPrimeLoop(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(static_cast<double>(plainLoopNs()) / 1e9);
}
BENCHMARK(plainPrimeLoop)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// Each iteration times the plain loop and the window; the ratio is of the best of each.
void windowGeneration(benchmark::State &state)
{
    PrimeTable table;
    showSettled(table);
    auto *list = childNamed<QListWidget>(&table, "list");
    qint64 bestPlain = 0;
    qint64 bestWindow = 0;
    for (auto _ : state) {
        const qint64 plain = plainLoopNs();
        list->clear(); // the press would clear the last list; that is not generation
        QElapsedTimer clock;
        clock.start();
        generateToEnd(table, 1, generationEnd);
        const qint64 window = clock.nsecsElapsed();
        state.SetIterationTime(static_cast<double>(window) / 1e9);
        bestPlain = bestPlain == 0 ? plain : std::min(bestPlain, plain);
        bestWindow = bestWindow == 0 ? window : std::min(bestWindow, window);
    }
    state.counters["primes"] = list->count();
    state.counters["ratio_to_plain_loop"] =
        static_cast<double>(bestWindow) / static_cast<double>(bestPlain);
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(windowGeneration)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

void gapsNearTopOf15Digits(benchmark::State &state)
{
    PrimeTable table;
    showSettled(table);
    GapProbe probe;
    for (auto _ : state) {
        probe.arm();
        generateToEnd(table, 999999999990000, 999999999999999);
        probe.disarm();
    }
    state.counters["primes"] = childNamed<QListWidget>(&table, "list")->count();
    state.counters["max_gap_ms"] = probe.longestMs();
}
BENCHMARK(gapsNearTopOf15Digits)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Notes when the list's viewport is painted with a row of at least `minimumRow` at its top.
class RowPaintWatch : public QObject {
public:
    explicit RowPaintWatch(QListWidget *list)
        : m_list(list)
    {
        list->viewport()->installEventFilter(this);
    }
    void expect(int minimumRow)
    {
        m_minimumRow = minimumRow;
        m_seen = false;
        m_ms = -1;
        m_clock.start();
    }
    bool seen() const { return m_seen; }
    double ms() const { return m_ms; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            const QModelIndex top = m_list->indexAt(QPoint(4, 4));
            if (top.isValid() && top.row() >= m_minimumRow) {
                m_seen = true;
                m_ms = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QListWidget *m_list;
    QElapsedTimer m_clock;
    int m_minimumRow = 0;
    bool m_seen = false;
    double m_ms = -1;
};

// The first second of a generation of 1 to state.range(0): how soon a row is painted, how
// soon rows are painted after scrolling to the end of what is listed, the longest gap.
// A time of -1 means no such row was painted within 5 seconds.
void rowsOnScreen(benchmark::State &state)
{
    testing_modal::Watchdog closesTheCapMessage;
    PrimeTable table;
    table.resize(640, 480);
    showSettled(table);
    auto *list = childNamed<QListWidget>(&table, "list");
    GapProbe probe;
    RowPaintWatch watch(list);
    for (auto _ : state) {
        list->clear();
        watch.expect(0);
        probe.arm();
        startGeneration(table, 1, state.range(0));
        QElapsedTimer running;
        running.start();
        runUntil([&] { return watch.seen() || running.hasExpired(5000); });
        state.counters["first_row_ms"] = watch.ms();
        runUntil([&] { return running.hasExpired(1000); });
        QScrollBar *bar = list->verticalScrollBar();
        watch.expect(qMax(1, list->indexAt(QPoint(4, 4)).row() + 1));
        bar->setValue(bar->maximum());
        running.restart();
        runUntil([&] { return watch.seen() || running.hasExpired(5000); });
        state.counters["scrolled_row_ms"] = watch.ms();
        probe.disarm();
        if (isGenerating(table))
            childNamed<QPushButton>(&table, "generate")->click();
    }
    state.counters["listed"] = list->count();
    state.counters["max_gap_ms"] = probe.longestMs();
}
BENCHMARK(rowsOnScreen)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime()
    ->ArgName("end")
    ->Arg(10000000)
    ->Arg(1000000000);

// A full list, as a load leaves it, replaced by a new generation (0) or a load (1).
void replaceList(benchmark::State &state)
{
    const QString path = numbersFile(fullList);
    PrimeTable table;
    showSettled(table);
    GapProbe probe;
    QElapsedTimer accepted;
    for (auto _ : state) {
        loadFile(table, path, probe, accepted);
        probe.reset();
        probe.arm();
        if (state.range(0) == 0) {
            generateToEnd(table, 1, 100);
        } else {
            loadFile(table, path, probe, accepted);
        }
        probe.disarm();
    }
    state.counters["replaced"] = fullList;
    state.counters["max_gap_ms"] = probe.longestMs();
}
BENCHMARK(replaceList)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime()
    ->ArgName("by_load")
    ->Arg(0)
    ->Arg(1);

void saveFullList(benchmark::State &state)
{
    QTemporaryDir dir;
    PrimeTable table;
    showSettled(table);
    GapProbe probe;
    QElapsedTimer accepted;
    loadFile(table, numbersFile(fullList), probe, accepted);
    const QString path = dir.filePath(QStringLiteral("primes.txt"));
    GapProbe saving;
    for (auto _ : state) {
        clickWithFile(childNamed<QPushButton>(&table, "save"), path, accepted, &saving);
        saving.disarm();
        state.SetIterationTime(static_cast<double>(accepted.nsecsElapsed()) / 1e9);
    }
    state.counters["saved"] = childNamed<QListWidget>(&table, "list")->count();
    state.counters["max_gap_ms"] = saving.longestMs();
}
BENCHMARK(saveFullList)->Unit(benchmark::kMillisecond)->Iterations(2)->UseManualTime();

void loadTenMillion(benchmark::State &state)
{
    const QString path = numbersFile(fileNumbers);
    PrimeTable table;
    showSettled(table);
    GapProbe probe;
    for (auto _ : state) {
        QElapsedTimer accepted;
        loadFile(table, path, probe, accepted);
        state.SetIterationTime(static_cast<double>(accepted.nsecsElapsed()) / 1e9);
    }
    state.counters["listed"] = childNamed<QListWidget>(&table, "list")->count();
    state.counters["max_gap_ms"] = probe.longestMs();
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(loadTenMillion)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

void loadTenMillionUncapped(benchmark::State &state)
{
    const QString path = numbersFile(fileNumbers);
    PrimeTable table;
    table.setListLimit(fileNumbers);
    showSettled(table);
    GapProbe probe;
    const double before = residentMiB();
    for (auto _ : state) {
        QElapsedTimer accepted;
        loadFile(table, path, probe, accepted);
        state.SetIterationTime(static_cast<double>(accepted.nsecsElapsed()) / 1e9);
    }
    const int listed = childNamed<QListWidget>(&table, "list")->count();
    state.counters["listed"] = listed;
    state.counters["bytes_per_item"] = (residentMiB() - before) * 1024 * 1024 / qMax(1, listed);
    state.counters["max_gap_ms"] = probe.longestMs();
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(loadTenMillionUncapped)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// Two seconds of a generation of 1 to 10^9, or less where the list reaches its cap.
void memoryWhileGenerating(benchmark::State &state)
{
    testing_modal::Watchdog closesTheCapMessage;
    PrimeTable table;
    showSettled(table);
    for (auto _ : state) {
        const double before = residentMiB();
        startGeneration(table, 1, 1000000000);
        QElapsedTimer running;
        running.start();
        runUntil([&] { return running.hasExpired(2000); });
        state.counters["growth_MiB_per_s"] = (residentMiB() - before) / 2.0;
        if (isGenerating(table)) // it may have stopped at the cap
            childNamed<QPushButton>(&table, "generate")->click();
    }
    state.counters["listed"] = childNamed<QListWidget>(&table, "list")->count();
}
BENCHMARK(memoryWhileGenerating)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
