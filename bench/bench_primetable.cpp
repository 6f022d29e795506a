// The prime table window end to end: generation against a plain loop of prime(),
// saving and loading a million numbers, and the longest wait of the event loop while
// the window works. Peak memory is the process's own (getrusage), so run one
// benchmark per process (--benchmark_filter) to read it for that benchmark alone.

#include "../tests/modal.h"
#include "funcs.h"
#include "primetable.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

constexpr qlonglong generationEnd = 10000000;
constexpr int fileNumbers = 1000000;

double peakResidentMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
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
    double longestMs() const { return static_cast<double>(m_longest) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
    bool m_armed = false;
};

template <typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

bool isGenerating(PrimeTable &table)
{
    return child<QPushButton>(&table, "generate")->text() == QLatin1String("Stop");
}

void startGeneration(PrimeTable &table, qlonglong max)
{
    child<QLineEdit>(&table, "min")->setText(QStringLiteral("1"));
    child<QLineEdit>(&table, "max")->setText(QString::number(max));
    child<QPushButton>(&table, "generate")->click();
}

void runEventLoop(const std::function<bool()> &until)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (until())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
}

// Clicks `button` and answers its file dialog with `path`; `accepted` restarts when the
// dialog is answered, so it measures the work after the choice of the file.
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

void fillList(PrimeTable &table)
{
    auto *list = child<QListWidget>(&table, "list");
    list->clear();
    for (qlonglong n = 1; n < 2 * fileNumbers; n += 2) {
        auto *item = new QListWidgetItem(QString::number(n));
        item->setTextAlignment(Qt::AlignRight);
        list->addItem(item);
    }
}

void plainPrimeLoop(benchmark::State &state)
{
    for (auto _ : state) {
        qlonglong found = 0;
        for (qlonglong n = 1; n <= generationEnd; n += n > 2 ? 2 : 1)
            found += prime(n) ? 1 : 0;
        benchmark::DoNotOptimize(found);
        state.counters["primes"] = static_cast<double>(found);
    }
}
BENCHMARK(plainPrimeLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

void windowGeneration(benchmark::State &state)
{
    PrimeTable table;
    table.show();
    auto *list = child<QListWidget>(&table, "list");
    for (auto _ : state) {
        state.PauseTiming();
        list->clear(); // the press would clear the last list; that is not generation
        state.ResumeTiming();
        startGeneration(table, generationEnd);
        runEventLoop([&] { return !isGenerating(table); });
    }
    state.counters["primes"] = child<QListWidget>(&table, "list")->count();
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(windowGeneration)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void saveMillion(benchmark::State &state)
{
    QTemporaryDir dir;
    PrimeTable table;
    table.show();
    fillList(table);
    const QString path = dir.filePath(QStringLiteral("primes.txt"));
    for (auto _ : state) {
        QElapsedTimer accepted;
        clickWithFile(child<QPushButton>(&table, "save"), path, accepted);
        state.SetIterationTime(static_cast<double>(accepted.nsecsElapsed()) / 1e9);
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
BENCHMARK(saveMillion)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

QString writeMillionFile(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("million.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray content;
    for (qlonglong n = 1; n < 2 * fileNumbers; n += 2)
        content += QByteArray::number(n) + '\n';
    file.write(content);
    return path;
}

void loadMillion(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeMillionFile(dir);
    PrimeTable table;
    table.show();
    GapProbe probe;
    auto *list = child<QListWidget>(&table, "list");
    const bool intoEmptyList = state.range(0) == 0;
    if (!intoEmptyList)
        fillList(table);
    for (auto _ : state) {
        if (intoEmptyList)
            list->clear();
        QElapsedTimer accepted;
        clickWithFile(child<QPushButton>(&table, "load"), path, accepted, &probe);
        probe.disarm();
        state.SetIterationTime(static_cast<double>(accepted.nsecsElapsed()) / 1e9);
    }
    state.counters["numbers"] = list->count();
    state.counters["max_gap_ms"] = probe.longestMs();
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}
// Argument 0: into an empty list; 1: replacing a list of a million items, whose
// clearing is part of the load.
BENCHMARK(loadMillion)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseManualTime()
    ->ArgName("replacing")
    ->Arg(0)
    ->Arg(1);

// The first two seconds of a generation up to 10^9, where a tick's budget is a million
// candidates: the time limit of a tick is what keeps the loop turning.
void gapsWhileGenerating(benchmark::State &state)
{
    PrimeTable table;
    table.show();
    GapProbe probe;
    for (auto _ : state) {
        startGeneration(table, 1000000000);
        probe.arm();
        QElapsedTimer running;
        running.start();
        runEventLoop([&] { return running.hasExpired(2000); });
        probe.disarm();
        child<QPushButton>(&table, "generate")->click();
    }
    state.counters["listed"] = child<QListWidget>(&table, "list")->count();
    state.counters["max_gap_ms"] = probe.longestMs();
}
BENCHMARK(gapsWhileGenerating)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

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
