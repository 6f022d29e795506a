// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_CHILDNAMED_H
#define TESTS_CHILDNAMED_H

#include <QObject>
#include <QtGlobal>

// The descendant of root with the given object name. A missing name means the form and
// the test disagree: stop at once instead of crashing later on a null pointer.
template <typename T>
T *childNamed(const QObject *root, const char *name)
{
    T *widget = root->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return widget;
}

#endif // TESTS_CHILDNAMED_H
