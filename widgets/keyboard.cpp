// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

namespace {

QGroupBox *enclosingGroupBox(const QWidget *widget)
{
    for (QWidget *up = widget->parentWidget(); up; up = up->parentWidget())
        if (auto *box = qobject_cast<QGroupBox *>(up))
            return box;
    return nullptr;
}

// The widgets of type T whose nearest enclosing group box is `box`, not one nested in it.
template <typename T>
QList<QWidget *> ownedBy(QGroupBox *box)
{
    QList<QWidget *> owned;
    for (T *widget : box->findChildren<T *>())
        if (enclosingGroupBox(widget) == box)
            owned << widget;
    return owned;
}

bool isEnterPress(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           !(key->modifiers() & chords);
}

} // namespace

EnterPresses::EnterPresses(QAbstractButton *button)
    : QObject(button)
    , button(button)
{
}

void EnterPresses::install(QWidget *root)
{
    for (QPushButton *pushButton : root->findChildren<QPushButton *>())
        install(pushButton, {pushButton});
    for (QGroupBox *box : root->findChildren<QGroupBox *>()) {
        const QList<QWidget *> buttons = ownedBy<QPushButton>(box);
        if (buttons.size() == 1)
            install(static_cast<QPushButton *>(buttons.first()),
                    ownedBy<QLineEdit>(box) + ownedBy<QAbstractSpinBox>(box));
    }
}

void EnterPresses::install(QAbstractButton *button, const QList<QWidget *> &sources)
{
    auto *presses = new EnterPresses(button);
    for (QWidget *source : sources)
        source->installEventFilter(presses);
}

bool EnterPresses::eventFilter(QObject *watched, QEvent *event)
{
    if (!isEnterPress(event))
        return false;
    // A held key presses once, as Space does: a slot that lets the event loop run could
    // otherwise be entered again before it has finished.
    if (static_cast<QKeyEvent *>(event)->isAutoRepeat())
        return true;
    // A spin box takes a typed number only when it loses focus or sees Enter itself.
    if (auto *spinBox = qobject_cast<QAbstractSpinBox *>(watched))
        spinBox->interpretText();
    button->click();
    return true;
}

MenuKey::MenuKey(QMainWindow *window)
    : QObject(window)
    , window(window)
{
    auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F10), window);
    connect(shortcut, SIGNAL(activated()), this, SLOT(open()));
}

void MenuKey::install(QMainWindow *window)
{
    new MenuKey(window);
}

void MenuKey::open()
{
    QMenuBar *bar = window->menuBar();
    const QList<QAction *> menus = bar->actions();
    if (menus.isEmpty() || !menus.first()->menu())
        return;
    QMenu *menu = menus.first()->menu();
    bar->setActiveAction(menu->menuAction());
    if (!menu->actions().isEmpty())
        menu->setActiveAction(menu->actions().first());
}

FocusReturns::FocusReturns()
    : focused(QApplication::focusWidget())
{
}

FocusReturns::~FocusReturns()
{
    if (focused)
        focused->setFocus(Qt::OtherFocusReason);
}

DisabledWhileBusy::DisabledWhileBusy(QWidget *widget)
    : widget(widget)
{
    widget->setEnabled(false);
}

DisabledWhileBusy::~DisabledWhileBusy()
{
    widget->setEnabled(true);
}
