// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_LISTFILES_H
#define TESTS_LISTFILES_H

// Files of number lists for the tests of the list format and of the window's file handling.

#include "fileaccess.h"

#include <QByteArray>
#include <QDir>
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

// Where a test saves primes.txt into `parent`, as its rows name it: "over a file" holding
// `old`, a "new file", or "in place": `old` in a folder within `parent` that takes no new
// file. Gives the folder the save writes into.
inline void prepareSaveTarget(const QString &parent, const QString &target, const QByteArray &old,
                              QString &folder)
{
    const bool inPlace = target == QLatin1String("in place");
    folder = inPlace ? parent + QStringLiteral("/locked") : parent;
    const QString file = folder + QStringLiteral("/primes.txt");
    if (inPlace) {
        QVERIFY(openToOthers(parent));
        QVERIFY(QDir().mkdir(folder));
    }
    if (target != QLatin1String("new file"))
        writeFile(file, old);
    if (inPlace)
        QVERIFY(lockFolder(folder, file));
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
