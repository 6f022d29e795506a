// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileprogress.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

#include <limits>

namespace {

int progressShift(qint64 total)
{
    int shift = 0;
    while ((total >> shift) > std::numeric_limits<int>::max())
        ++shift;
    return shift;
}

} // namespace

int progressMaximum(qint64 total)
{
    return progressValue(total, total);
}

int progressValue(qint64 done, qint64 total)
{
    const qint64 within = qBound<qint64>(0, done, qMax<qint64>(total, 0));
    return static_cast<int>(within >> progressShift(total));
}

FileProgress::FileProgress(const QString &title, const QString &label, const QString &cancelText,
                           qint64 total, QWidget *parent)
    : QProgressDialog(label, cancelText, 0, progressMaximum(total), parent)
    , m_total(total)
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    QCoreApplication::instance()->installEventFilter(this);
    // The toolkit does not always follow the last window's close with its Quit event. Not
    // at once: hiding a window while the last one closes would keep the toolkit from quitting.
    connect(
        qGuiApp, &QGuiApplication::lastWindowClosed, this,
        [this] {
            if (QGuiApplication::quitOnLastWindowClosed())
                abandon();
        },
        Qt::QueuedConnection);
}

void FileProgress::setDone(qint64 done)
{
    setValue(progressValue(done, m_total));
}

void FileProgress::closeEvent(QCloseEvent *event)
{
    m_closed = true;
    QProgressDialog::closeEvent(event);
}

void FileProgress::reject()
{
    cancel();
}

// The application gets a Quit event when its last window closes and when it is told to
// end, before any window is closed.
bool FileProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit)
        abandon();
    return QProgressDialog::eventFilter(watched, event);
}

void FileProgress::abandon()
{
    m_closed = true;
    cancel();
}
