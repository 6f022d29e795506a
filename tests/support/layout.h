// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TESTS_LAYOUT_H
#define TESTS_LAYOUT_H

#include <QCoreApplication>
#include <QEvent>

// Lets the layouts finish their work after a change: each level of nested layouts asks the
// next one out to lay itself out again with a posted event.
inline void layOut()
{
    for (int level = 0; level < 8; ++level)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

#endif // TESTS_LAYOUT_H
