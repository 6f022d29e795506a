// SPDX-License-Identifier: GPL-3.0-or-later
// How the main window holds up under long work, as a user runs it:
// - event-loop gaps: a 0 ms probe timer fires on every pass, and the longest interval
//   between two firings is the longest time the window could not repaint or react;
// - the Log n search rate with its page on screen against another page, in one run;
// - pasting one long line into the two text fields and working on it.
// Run it on a real display as well as offscreen: the offscreen platform hides the cost
// of painting.
//   QT_QPA_PLATFORM=offscreen build-bench/bench/bench_responsiveness [fermat logn lines list]
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//       build-bench/bench/bench_responsiveness

#include "childnamed.h"
#include "mainwindow.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int measuredMs = 2000;

struct Gaps {
    std::vector<qint64> ns;

    qint64 longest() const { return ns.empty() ? 0 : *std::max_element(ns.begin(), ns.end()); }
    // The gap that only one pass in a thousand exceeds: the typical worst case, apart from
    // the moments when the machine itself does not run the process.
    qint64 perMille999() const
    {
        if (ns.empty())
            return 0;
        std::vector<qint64> sorted = ns;
        const auto at = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() * 999 / 1000);
        std::nth_element(sorted.begin(), at, sorted.end());
        return *at;
    }
};

// Runs the event loop for `ms` with `drive` called from a 0 ms timer (the work itself)
// and returns the gaps between two passes.
Gaps measure(
    const std::function<void()> &drive, int ms = measuredMs,
    const std::function<bool()> &done = [] { return false; })
{
    Gaps gaps;
    QElapsedTimer clock;
    qint64 last = 0;
    QTimer probe;
    QEventLoop loop;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        gaps.ns.push_back(now - last);
        last = now;
        if (done())
            loop.quit();
    });
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, drive);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    clock.start();
    probe.start(0);
    driver.start(0);
    loop.exec();
    return gaps;
}

void report(const char *what, const Gaps &gaps)
{
    std::printf("%-52s longest gap %7.3f ms, 99.9%% of gaps below %6.3f ms (%zu passes)\n", what,
                gaps.longest() / 1e6, gaps.perMille999() / 1e6, gaps.ns.size());
}

void settle()
{
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
}

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The memory the process holds now.
double residentMiB()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024.0) / 1024.0;
}

// The next exponent the search tests, read from "Stop (N)" on its button.
qlonglong searchPosition(QPushButton *go)
{
    const QString text = go->text();
    const int open = text.indexOf(QLatin1Char('('));
    return open < 0 ? 0 : text.mid(open + 1).chopped(1).toLongLong();
}

// Exponents per second while the event loop runs for the measured time.
double searchRate(QPushButton *go, Gaps *gaps = nullptr)
{
    const qlonglong before = searchPosition(go);
    QElapsedTimer clock;
    clock.start();
    const Gaps seen = measure([] {});
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (gaps)
        *gaps = seen;
    return (searchPosition(go) - before) / seconds;
}

void fermatRow(QWidget &window, QTabWidget *pages)
{
    pages->setCurrentIndex(1);
    settle();
    childNamed<QLineEdit>(&window, "primeNumber")->setText(QStringLiteral("999999999999989"));
    childNamed<QSpinBox>(&window, "primeTries")->setValue(200);
    bool testing = false;
    int tests = 0;
    report("Fermat test, 200 trials on 999999999999989, repeated", measure([&] {
               if (testing) // the driver also fires inside the test's own event processing
                   return;
               testing = true;
               childNamed<QPushButton>(&window, "primeGo")->click();
               testing = false;
               ++tests;
           }));
    std::printf("  %.1f tests of 200 trials per second, page on screen\n",
                tests * 1000.0 / measuredMs);
}

void setSearch(QWidget &window, int a, int y, int n)
{
    childNamed<QSpinBox>(&window, "lognA")->setValue(a);
    childNamed<QSpinBox>(&window, "lognY")->setValue(y);
    childNamed<QSpinBox>(&window, "lognN")->setValue(n);
}

void logNRateRow(QWidget &window, QTabWidget *pages)
{
    pages->setCurrentIndex(2);
    settle();
    setSearch(window, 3, 1, 2000000000);
    auto *go = childNamed<QPushButton>(&window, "lognGo");
    go->click();
    Gaps gaps;
    const double onScreen = searchRate(go, &gaps);
    report("Log n search, n = 2000000000, page on screen", gaps);
    pages->setCurrentIndex(0);
    const double hidden = searchRate(go);
    std::printf("  Log n rate: on screen %.0f exponents/s, page hidden %.0f exponents/s, "
                "on screen / hidden = %.1f %%\n",
                onScreen, hidden, 100.0 * onScreen / hidden);
    go->click();
}

// a = 1, y = 1 lists every exponent: how fast the list grows, what it costs, and whether
// its page comes back at once after a long run out of sight.
void logNListRow(QWidget &window, QTabWidget *pages, int page, const char *where)
{
    pages->setCurrentIndex(page);
    settle();
    setSearch(window, 1, 1, 2000000000);
    auto *go = childNamed<QPushButton>(&window, "lognGo");
    auto *list = childNamed<QListWidget>(&window, "lognResult");
    const double startMiB = residentMiB();
    go->click();
    QElapsedTimer clock;
    clock.start();
    const Gaps gaps =
        measure([] {}, 10000, [go] { return !go->text().startsWith(QLatin1Char('S')); });
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("Log n listing every exponent, %s:\n", where);
    report("  ", gaps);
    std::printf("  %d items listed in %.1f s, memory in use %.0f MiB (%.0f MiB before), peak "
                "%.0f MiB, button \"%s\"\n",
                list->count(), seconds, residentMiB(), startMiB, peakMiB(), qPrintable(go->text()));
    if (go->text().startsWith(QLatin1Char('S')))
        go->click();
    if (page != 2) {
        clock.restart();
        pages->setCurrentIndex(2);
        settle();
        window.repaint();
        std::printf("  showing the page again took %.1f ms\n", clock.nsecsElapsed() / 1e6);
    }
    list->clear();
}

// Milliseconds of `action`, including the layout and the paint it causes.
double timedMs(QWidget &window, const std::function<void()> &action)
{
    QElapsedTimer clock;
    clock.start();
    action();
    settle();
    window.repaint();
    return clock.nsecsElapsed() / 1e6;
}

// Ctrl+V as the user presses it.
void pasteByKey(QWidget *edit)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(edit, &release);
}

QString longLine(int length)
{
    const QString pattern = QStringLiteral("Kalmora0123456789abcdefghijklmnopqrstuvwxyz");
    QString line;
    line.reserve(length);
    while (line.size() < length)
        line += pattern;
    line.truncate(length);
    return line;
}

void longLineRows(QWidget &window, QTabWidget *pages, int length)
{
    const QString line = longLine(length);
    QApplication::clipboard()->setText(line);

    pages->setCurrentIndex(4);
    settle();
    auto *crcContent = childNamed<QPlainTextEdit>(&window, "crcContent");
    crcContent->clear();
    crcContent->setFocus();
    const double crcPaste = timedMs(window, [&] { pasteByKey(crcContent); });
    const double crcPress =
        timedMs(window, [&] { childNamed<QPushButton>(&window, "crcButton")->click(); });
    std::printf("  %7d characters, CRC32 text: paste %8.1f ms, \"CRC32\" %8.1f ms  (%s)\n", length,
                crcPaste, crcPress,
                qPrintable(childNamed<QLabel>(&window, "crcLabel")
                               ->text()
                               .replace(QLatin1Char('\t'), QLatin1Char(' '))));
    crcContent->clear();

    pages->setCurrentIndex(3);
    settle();
    childNamed<QLineEdit>(&window, "phrase")->setText(QStringLiteral("Tajne haslo"));
    auto *text = childNamed<QTextEdit>(&window, "text");
    text->clear();
    text->setFocus();
    const double cipherPaste = timedMs(window, [&] { pasteByKey(text); });
    const double cipherPress =
        timedMs(window, [&] { childNamed<QPushButton>(&window, "cipher")->click(); });
    const double decipherPress =
        timedMs(window, [&] { childNamed<QPushButton>(&window, "decipher")->click(); });
    std::printf("  %7d characters, cipher text: paste %8.1f ms, \"Szyfruj\" %8.1f ms, "
                "\"Odszyfruj\" %8.1f ms\n",
                length, cipherPaste, cipherPress, decipherPress);
    text->clear();
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each row as soon as it is measured
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    auto *pages = childNamed<QTabWidget>(&window, "tabWidget");
    // The page of the work is on screen, so its repainting counts; the first paint of the
    // window (fonts, layout) happens before the measurement.
    settle();

    // Rows can be chosen by name on the command line; all of them by default.
    QStringList rows = app.arguments().mid(1);
    if (rows.isEmpty())
        rows = QStringList{QStringLiteral("fermat"), QStringLiteral("logn"),
                           QStringLiteral("lines"), QStringLiteral("list")};
    if (rows.contains(QStringLiteral("fermat")))
        fermatRow(window, pages);
    if (rows.contains(QStringLiteral("logn")))
        logNRateRow(window, pages);
    if (rows.contains(QStringLiteral("lines"))) {
        std::printf("One line without line breaks, pasted and worked on (page on screen):\n");
        for (const int length : {65536, 262144, 1048576})
            longLineRows(window, pages, length);
    }
    // Last: without a bound on the list this one exhausts the memory.
    if (rows.contains(QStringLiteral("list"))) {
        logNListRow(window, pages, 2, "page on screen");
        logNListRow(window, pages, 0, "page hidden");
    }
    return 0;
}
