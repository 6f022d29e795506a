// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LONGWORDWRAP_H
#define LONGWORDWRAP_H

#include <QObject>
#include <QTextOption>
#include <QTimer>

#include <functional>

class QAbstractScrollArea;
class QPlainTextEdit;
class QTextDocument;
class QTextEdit;

// Keeps a text field quick on very long words (a pasted line without spaces). Wrapping at
// word boundaries looks for the end of the word again for every line it breaks, so a word
// of a million characters takes minutes to lay out. While the text holds a word too long
// for any line the field breaks its lines anywhere, a single pass that shows the same
// characters; otherwise it wraps at word boundaries as before. Such a text always needs its
// vertical scroll bar, shown from the start so that it does not narrow the text and lay
// it out a second time when it appears.
class LongWordWrap : public QObject {
    Q_OBJECT

public:
    static void attach(QTextEdit *edit);
    static void attach(QPlainTextEdit *edit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void check(int position, int charsRemoved, int charsAdded);
    void recheckWholeText();

private:
    LongWordWrap(QAbstractScrollArea *edit, QTextDocument *document,
                 std::function<void(QTextOption::WrapMode)> setWrapMode);
    bool holdsLongWord(int from, int to) const;
    void breakAnywhere(bool anywhere);

    QAbstractScrollArea *edit;
    QTextDocument *document;
    std::function<void(QTextOption::WrapMode)> setWrapMode;
    QTextOption::WrapMode usualWrapMode;
    Qt::ScrollBarPolicy usualScrollBarPolicy;
    bool breakingAnywhere = false;
    QTimer recheck;
};

#endif // LONGWORDWRAP_H
