// SPDX-License-Identifier: GPL-3.0-or-later
#include "longwordwrap.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <utility>

namespace {
// Far wider than any line of a field, and short enough that wrapping at word boundaries
// still lays it out in a few milliseconds.
constexpr int longWordLength = 4096;

bool textHoldsLongWord(const QString &text)
{
    if (text.size() <= longWordLength)
        return false;
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > longWordLength)
            return true;
    }
    return false;
}
} // namespace

LongWordWrap::LongWordWrap(QAbstractScrollArea *edit, QTextDocument *document,
                           std::function<void(QTextOption::WrapMode)> setWrapMode)
    : QObject(edit)
    , edit(edit)
    , document(document)
    , setWrapMode(std::move(setWrapMode))
    , usualWrapMode(document->defaultTextOption().wrapMode())
    , usualScrollBarPolicy(edit->verticalScrollBarPolicy())
{
    recheck.setSingleShot(true);
    // Emitted before the document lays the change out, so that layout already uses the
    // wrapping chosen here.
    connect(document, SIGNAL(contentsChange(int, int, int)), this, SLOT(check(int, int, int)));
    connect(&recheck, SIGNAL(timeout()), this, SLOT(recheckWholeText()));
    edit->installEventFilter(this);
}

void LongWordWrap::attach(QTextEdit *edit)
{
    new LongWordWrap(edit, edit->document(),
                     [edit](QTextOption::WrapMode mode) { edit->setWordWrapMode(mode); });
}

void LongWordWrap::attach(QPlainTextEdit *edit)
{
    new LongWordWrap(edit, edit->document(),
                     [edit](QTextOption::WrapMode mode) { edit->setWordWrapMode(mode); });
}

// Each change of wrapping lays out the whole text. Switched on the paste key, before the
// text arrives, the field lays out the pasted word once instead of twice.
bool LongWordWrap::eventFilter(QObject *watched, QEvent *event)
{
    if (!breakingAnywhere && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste) &&
        textHoldsLongWord(QGuiApplication::clipboard()->text()))
        breakAnywhere(true);
    return QObject::eventFilter(watched, event);
}

bool LongWordWrap::holdsLongWord(int from, int to) const
{
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() > longWordLength && textHoldsLongWord(block.text()))
            return true;
    }
    return false;
}

// The wrapping first: the text laid out again for the new width of the scroll bar must
// already break anywhere.
void LongWordWrap::breakAnywhere(bool anywhere)
{
    breakingAnywhere = anywhere;
    setWrapMode(anywhere ? QTextOption::WrapAnywhere : usualWrapMode);
    edit->setVerticalScrollBarPolicy(anywhere ? Qt::ScrollBarAlwaysOn : usualScrollBarPolicy);
}

// A long word can only arrive in the blocks that changed. Whether the last one left takes
// a look at the whole text, once the event loop comes round: replacing the whole text
// empties it first, and going back in between would lay the new text out twice.
void LongWordWrap::check(int position, int /*charsRemoved*/, int charsAdded)
{
    if (breakingAnywhere)
        recheck.start(0);
    else if (holdsLongWord(position, position + charsAdded))
        breakAnywhere(true);
}

void LongWordWrap::recheckWholeText()
{
    if (!holdsLongWord(0, document->characterCount()))
        breakAnywhere(false);
}
