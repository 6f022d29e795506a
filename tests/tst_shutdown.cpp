// SPDX-License-Identifier: GPL-3.0-or-later
// Quitting with Ctrl+Q while long work runs: the event loop must end once the last window
// is closed, the windows must be destroyed cleanly, and nothing may touch them afterwards
// (the sanitizer build turns any such access into a failure). Runs the real event loop,
// so no QtTest main.

#include "childnamed.h"
#include "mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <cstdio>

namespace {

void quit(QWidget *window)
{
    childNamed<QAction>(window, "actionZako_cz")->trigger();
}

// Shows a fresh window, lets `start` begin some work from the event loop and runs the loop
// until the window's quit ends it. False if the loop had to be ended by the safety timer.
bool runUntilQuit(void (*start)(QWidget *window))
{
    auto *window = new MainWindow;
    window->show();
    bool timedOut = false;
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    safety.start(20000);
    QTimer::singleShot(0, window, [window, start] { start(window); });
    QApplication::exec();
    delete window;
    return !timedOut;
}

void fermatThenQuit(QWidget *window)
{
    childNamed<QLineEdit>(window, "primeNumber")->setText(QStringLiteral("999999999999989"));
    childNamed<QSpinBox>(window, "primeTries")->setValue(200);
    // Runs inside the test's first progress callback.
    QTimer::singleShot(0, window, [window] { quit(window); });
    childNamed<QPushButton>(window, "primeGo")->click();
}

void searchThenQuit(QWidget *window)
{
    childNamed<QSpinBox>(window, "lognA")->setValue(3);
    childNamed<QSpinBox>(window, "lognY")->setValue(1);
    childNamed<QSpinBox>(window, "lognN")->setValue(2000000000);
    childNamed<QPushButton>(window, "lognGo")->click();
    QTimer::singleShot(200, window, [window] { quit(window); });
}

// Ctrl+Q closes only the main window while the prime table (generating) is open; the
// loop ends when that window is closed too.
bool primeTableKeepsLoopRunning = false;

void quitWithPrimeTableOpen(QWidget *window)
{
    childNamed<QAction>(window, "actionPrimeTable")->trigger();
    QWidget *table = nullptr;
    for (QWidget *topLevel : QApplication::topLevelWidgets())
        if (topLevel->objectName() == QLatin1String("PrimeGenerator"))
            table = topLevel;
    if (!table)
        return;
    childNamed<QLineEdit>(table, "max")->setText(QStringLiteral("1000000000"));
    childNamed<QPushButton>(table, "generate")->click();
    quit(window);
    QTimer::singleShot(300, table, [window, table] {
        primeTableKeepsLoopRunning = !window->isVisible() && table->isVisible();
        table->close();
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int failures = 0;
    if (!runUntilQuit(fermatThenQuit)) {
        std::fprintf(stderr, "FAIL: quitting during a Fermat test did not end the loop\n");
        ++failures;
    }
    if (!runUntilQuit(searchThenQuit)) {
        std::fprintf(stderr, "FAIL: quitting during a logarithm search did not end the loop\n");
        ++failures;
    }
    if (!runUntilQuit(quitWithPrimeTableOpen) || !primeTableKeepsLoopRunning) {
        std::fprintf(stderr, "FAIL: Ctrl+Q with the prime table open\n");
        ++failures;
    }
    if (failures == 0)
        std::printf("PASS: quit during a Fermat test, a logarithm search and a generation\n");
    return failures;
}
