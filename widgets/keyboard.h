// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef KEYBOARD_H
#define KEYBOARD_H

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QMainWindow;
class QWidget;

// Return and Enter press a button: the focused push button itself, or, from a one-line field,
// the button that field belongs to. Multi-line fields are never watched, so Enter still breaks
// their lines there.
class EnterPresses : public QObject {
    Q_OBJECT

public:
    // Every push button below `root`, and the line edits and spin boxes of every group box
    // below `root` that holds exactly one push button of its own.
    static void install(QWidget *root);
    // The widgets in `sources` (the button itself, or fields outside any group box) press
    // `button`.
    static void install(QAbstractButton *button, const QList<QWidget *> &sources);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit EnterPresses(QAbstractButton *button);

    QAbstractButton *button;
};

// F10 opens the first menu of the window's menu bar with its first entry active, as desktops
// do, so the menu can be used without a mouse.
class MenuKey : public QObject {
    Q_OBJECT

public:
    static void install(QMainWindow *window);

private slots:
    void open();

private:
    explicit MenuKey(QMainWindow *window);

    QMainWindow *window;
};

// Gives the keyboard focus back, at the end of a scope, to the widget that had it at its
// start: disabled controls and dialogs in between move it elsewhere.
class FocusReturns {
public:
    FocusReturns();
    ~FocusReturns();
    FocusReturns(const FocusReturns &) = delete;
    FocusReturns &operator=(const FocusReturns &) = delete;

private:
    QPointer<QWidget> focused;
};

// Disables a widget for the length of a computation. Disabling it moves the keyboard focus
// out of it; the focus goes back to where it was once the widget is enabled again.
class DisabledWhileBusy {
public:
    explicit DisabledWhileBusy(QWidget *widget);
    ~DisabledWhileBusy();
    DisabledWhileBusy(const DisabledWhileBusy &) = delete;
    DisabledWhileBusy &operator=(const DisabledWhileBusy &) = delete;

private:
    FocusReturns focusReturns; // destroyed after the widget is enabled again
    QWidget *widget;
};

#endif // KEYBOARD_H
