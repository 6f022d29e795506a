// SPDX-License-Identifier: GPL-3.0-or-later
#include "copyresults.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using RowSpan = std::pair<int, int>; // first and last row, both included

// The selected rows as spans sorted by their first row; the whole list when none is selected.
// Walking spans instead of single indexes keeps a selection of millions of rows cheap.
std::vector<RowSpan> rowSpans(const QListWidget &list)
{
    std::vector<RowSpan> spans;
    for (const QItemSelectionRange &range : list.selectionModel()->selection())
        spans.emplace_back(range.top(), range.bottom());
    if (spans.empty() && list.count() > 0)
        spans.emplace_back(0, list.count() - 1);
    std::sort(spans.begin(), spans.end());
    return spans;
}

} // namespace

void makeSelectable(const QList<QLabel *> &labels)
{
    for (QLabel *label : labels)
        label->setTextInteractionFlags(label->textInteractionFlags() | Qt::TextSelectableByMouse);
}

RowCopier::RowCopier(QListWidget *list)
    : QObject(list)
    , list(list)
{
}

void RowCopier::install(QListWidget *list)
{
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->installEventFilter(new RowCopier(list));
}

QString RowCopier::rowsText(const QListWidget &list, int limit)
{
    QString text;
    int copied = 0;
    int next = 0; // rows below this are copied already: spans may overlap
    for (const RowSpan &span : rowSpans(list)) {
        for (int row = qMax(span.first, next); row <= span.second && copied < limit; ++row) {
            text += list.item(row)->text();
            text += QLatin1Char('\n');
            ++copied;
        }
        next = qMax(next, span.second + 1);
    }
    return text;
}

bool RowCopier::eventFilter(QObject *watched, QEvent *event)
{
    Q_UNUSED(watched)
    if (event->type() != QEvent::KeyPress ||
        !static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy))
        return false;
    QGuiApplication::clipboard()->setText(rowsText(*list));
    return true;
}
