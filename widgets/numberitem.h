// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef NUMBERITEM_H
#define NUMBERITEM_H

#include <QListWidgetItem>
#include <QString>
#include <QVariant>

// A list row that shows one number. It keeps the number and spells it only when asked,
// where a plain item would store its text and alignment as variants: long lists of
// numbers take about a third of the memory.
class NumberItem : public QListWidgetItem {
public:
    static constexpr int Type = QListWidgetItem::UserType + 1;

    explicit NumberItem(qlonglong number, Qt::Alignment alignment = Qt::Alignment())
        : QListWidgetItem(nullptr, Type)
        , m_number(number)
        , m_alignment(alignment)
    {
    }

    QVariant data(int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return QString::number(m_number);
        if (role == Qt::TextAlignmentRole && m_alignment)
            return int(m_alignment);
        return QListWidgetItem::data(role);
    }

    qlonglong number() const { return m_number; }

private:
    qlonglong m_number;
    Qt::Alignment m_alignment;
};

#endif // NUMBERITEM_H
