// SPDX-License-Identifier: GPL-3.0-or-later
#include "quitsignals.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int quitSignals[] = {SIGTERM, SIGHUP, SIGINT};

int pipeEnds[2] = {-1, -1};
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler sets it");
QuitSignals::LastResort lastResortCall = nullptr;
pthread_t guiThread;

void endBy(int signal)
{
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(signal, &byDefault, nullptr);
    ::raise(signal);
}

extern "C" void onQuitSignal(int signal)
{
    const int savedErrno = errno;
    // A signal sent to the process may be taken by any of its threads. The last resort
    // must run where the files are written, which the handler then holds still.
    if (!pthread_equal(pthread_self(), guiThread)) {
        pthread_kill(guiThread, signal);
    } else if (caught.exchange(signal) != 0) {
        if (lastResortCall)
            lastResortCall();
        // Blocked while its handler runs, the signal ends the program once it returns.
        endBy(signal);
    } else {
        const unsigned char byte = 1;
        (void)!::write(pipeEnds[1], &byte, 1);
    }
    errno = savedErrno;
}

bool ignored(int signal)
{
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

} // namespace

QuitSignals::QuitSignals(LastResort lastResort)
{
    Q_ASSERT(pipeEnds[0] < 0);
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    lastResortCall = lastResort;
    guiThread = pthread_self();
    m_notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { quit(); });
    for (const int signal : quitSignals) {
        if (ignored(signal))
            continue;
        struct sigaction action {};
        action.sa_handler = onQuitSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    for (const int signal : quitSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == onQuitSignal)
            std::signal(signal, SIG_DFL);
    }
    m_notifier.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
    lastResortCall = nullptr;
}

void QuitSignals::endAsReceived()
{
    if (const int signal = caught.load())
        endBy(signal);
}

void QuitSignals::quit()
{
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1) {
    }
    m_notifier->setEnabled(false);
    // The event of a session's quit: every window with a platform window is closed, and
    // work on a file, which may run in this very pass of the loop, is abandoned.
    QEvent quitEvent(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quitEvent);
    // A window that refused to close must not keep running a program told to end.
    QCoreApplication::exit(0);
}
