// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PATTERNVALIDATOR_H
#define PATTERNVALIDATOR_H

#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#else
#include <QRegExp>
#include <QRegExpValidator>
#endif

// A validator that accepts the texts matching the whole of `pattern`, and their
// beginnings while being typed. Qt 6 dropped QRegExpValidator; its successor with
// Unicode properties gives \d the same meaning (any decimal digit, QChar::isDigit).
inline QValidator *newPatternValidator(const QString &pattern, QObject *parent)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return new QRegularExpressionValidator(
        QRegularExpression(pattern, QRegularExpression::UseUnicodePropertiesOption), parent);
#else
    return new QRegExpValidator(QRegExp(pattern), parent);
#endif
}

#endif
