// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_LISTFILES_H
#define TESTS_LISTFILES_H

// Files of number lists for the tests of the list format and of the window's file handling.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtTest>

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

// The fixed-width layout worked out with printf: fields of `width`, a padded line
// break after every `perLine` of them.
inline QByteArray fixedWidth(const QStringList &numbers, int width, int perLine)
{
    QByteArray out;
    for (int i = 0; i < numbers.size(); ++i) {
        out += QString::asprintf("%*lld", width, numbers[i].toLongLong()).toLatin1();
        if (i % perLine == perLine - 1)
            out += QByteArray(width - 1, ' ') + '\n';
    }
    return out;
}

inline QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// Numbers 1 to `count`, one a line.
inline QByteArray numberLines(int count)
{
    QByteArray content;
    for (int n = 1; n <= count; ++n)
        content += QByteArray::number(n) + '\n';
    return content;
}

#endif // TESTS_LISTFILES_H
