// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_MODAL_H
#define TESTS_MODAL_H

// Helpers for GUI tests that meet modal dialogs: a modal box runs its own event loop,
// so the test must answer it from a timer or it would wait forever.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testing_modal {

inline int &pendingExpectations()
{
    static int count = 0;
    return count;
}

// Runs `handler` on the next modal widget to appear, from the event loop. The handler
// must close the widget. Gives up after `timeoutMs` so a missing dialog cannot hang.
inline void onNextModal(std::function<void(QWidget *)> handler, int timeoutMs = 10000)
{
    ++pendingExpectations();
    auto *poll = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, handler, timeoutMs] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal && clock->elapsed() < timeoutMs)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        --pendingExpectations();
        if (modal)
            handler(modal);
    });
    poll->start(10);
}

// Closes any modal widget that no test asked for and remembers its title, so a test
// fails instead of hanging when an unexpected box appears.
class Watchdog {
public:
    Watchdog()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || pendingExpectations() > 0)
                return;
            m_unexpected << modal->windowTitle();
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
        });
        m_poll.start(200);
    }
    QStringList unexpected() const { return m_unexpected; }
    void clear() { m_unexpected.clear(); }

private:
    QTimer m_poll;
    QStringList m_unexpected;
};

} // namespace testing_modal

#endif // TESTS_MODAL_H
