// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef COPYRESULTS_H
#define COPYRESULTS_H

#include <QList>
#include <QObject>

class QLabel;
class QListWidget;

// Results go into lab reports: their labels can be selected with the mouse and copied.
void makeSelectable(const QList<QLabel *> &labels);

// Ctrl+C in a list copies the selected rows, or every row when none is selected, one a line.
// Several rows can be selected.
class RowCopier : public QObject {
    Q_OBJECT

public:
    // At most this many rows are copied: about 32 MB of text for 15-digit numbers, built in
    // well under a second, however long the list has grown.
    static constexpr int maxRows = 1000000;

    static void install(QListWidget *list);
    // The text copied from `list`: one row a line, in list order, at most `limit` rows.
    static QString rowsText(const QListWidget &list, int limit = maxRows);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit RowCopier(QListWidget *list);

    QListWidget *list;
};

#endif // COPYRESULTS_H
