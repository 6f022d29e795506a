// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FILEPROGRESS_H
#define FILEPROGRESS_H

#include <QProgressDialog>

// The range of a progress dialog for `total` units of work (bytes of a file, say), and its
// value after `done` of them: large totals are scaled down as far as needed to fit the
// dialog's int, so files past 2 GiB show their progress too.
int progressMaximum(qint64 total);
int progressValue(qint64 done, qint64 total);

// The window-modal progress of work on a file. Closing it, or quitting the program, cancels
// it as its cancel button and Escape do; closed() tells the two apart. The program may quit
// before the dialog has shown, which closes no hidden window: that cancels it as well.
class FileProgress : public QProgressDialog {
public:
    FileProgress(const QString &title, const QString &label, const QString &cancelText,
                 qint64 total, QWidget *parent);

    // Moves the bar to `done` of the total given at construction.
    void setDone(qint64 done);
    bool closed() const { return m_closed; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape reaches a dialog that is not yet the active window as a rejection, which
    // would only hide it and let the work run on.
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void abandon();

    qint64 m_total;
    bool m_closed = false;
};

#endif // FILEPROGRESS_H
