// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef ACCESSIBILITY_H
#define ACCESSIBILITY_H

// What a screen reader learns of a window beyond what the toolkit tells it on its own:
// names of fields, formulas in words, results announced, windows and list sizes.

#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QLabel;
class QListWidget;
class QWidget;

// Gives `field` a name of its own for assistive technology, and makes `label`, the text
// beside it, its label (a buddy), so that the field is labelled by it. The labels these
// are used for have no '&', so no shortcut appears and nothing visible changes.
void nameField(QWidget *field, const QString &name, QLabel *label = nullptr);

// How a text that a label shows is said aloud; `richText` tells whether the label shows
// it as rich text.
using Speech = QString (*)(const QString &text, bool richText);

// The accessible name of `label` becomes `speech` of its text, whatever sets the text:
// it is made from the text whenever a screen reader asks.
void speakLabel(QLabel *label, Speech speech);

// Exposes a top-level widget as a window: a plain QWidget is exposed as a mere panel.
void exposeAsWindow(QWidget *window);

// The longest message announced; a longer one is cut there and ends with "…".
constexpr int longestAnnouncement = 500;

// Tells the user `message` through assistive technology, leaving the focus where it is.
// On Qt 6.8 and later this is an announcement event of `context`; before, no event
// carries text that screen readers speak for an object without the focus, so a hidden
// notification of `context`'s window appears with the message as its name.
void announce(QWidget *context, const QString &message);

// What assistive technology reads as the content of `widget`: the text of a text field,
// else the accessible name.
QString accessibleContent(QWidget *widget);

// Announces the content of `result` after every click of `button`: the slots connected
// before it have set the result by then.
class ResultAnnouncer : public QObject {
    Q_OBJECT

public:
    static void install(QAbstractButton *button, QWidget *result);

private slots:
    void announceResult();

private:
    ResultAnnouncer(QAbstractButton *button, QWidget *result);

    QPointer<QWidget> result;
};

// Keeps the accessible description of a list at `format` filled with its number of rows
// (for example "Liczb: %1"), so that a screen reader can tell how much it holds; it
// changes only when the number does.
class RowCountDescription : public QObject {
    Q_OBJECT

public:
    static void install(QListWidget *list, const QString &format);

private slots:
    void update();

private:
    RowCountDescription(QListWidget *list, const QString &format);

    QString format;
};

#endif // ACCESSIBILITY_H
