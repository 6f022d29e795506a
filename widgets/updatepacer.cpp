// SPDX-License-Identifier: GPL-3.0-or-later
#include "updatepacer.h"

#include <QCoreApplication>

#include <utility>

namespace {

QPointer<UpdatePacer> &thePacer()
{
    static QPointer<UpdatePacer> pacer;
    return pacer;
}

// Changes whose newest state an interface can give again, so that one event can stand for
// many. Table changes also go out as a reset: the rows they name are long out of date.
bool isPaced(const QAccessibleEvent &event)
{
    switch (event.type()) {
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::TableModelChanged:
        return event.object() && event.child() == -1;
    default:
        return false;
    }
}

} // namespace

UpdatePacer::UpdatePacer(QObject *parent)
    : QObject(parent)
{
    timer.setSingleShot(true);
    timer.setInterval(interval);
    connect(&timer, SIGNAL(timeout()), this, SLOT(endInterval()));
}

UpdatePacer::~UpdatePacer()
{
    const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(next);
    if (current != handle)
        QAccessible::installUpdateHandler(current);
}

void UpdatePacer::install()
{
    if (!thePacer())
        thePacer() = new UpdatePacer(QCoreApplication::instance());
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(handle);
    if (previous != handle)
        thePacer()->next = previous;
}

void UpdatePacer::handle(QAccessibleEvent *event)
{
    thePacer()->offer(event);
}

void UpdatePacer::offer(QAccessibleEvent *event)
{
    if (!isPaced(*event)) {
        forward(event);
        return;
    }
    const Key key(event->object(), event->type());
    const auto running = pacing.find(key);
    if (running != pacing.end() && running->object) {
        running->newerHeld = true;
        return;
    }
    pacing.insert(key, {event->object(), event->type(), false});
    if (event->type() == QAccessible::TableModelChanged)
        sendNewest(event->object(), event->type());
    else
        forward(event);
    if (!timer.isActive())
        timer.start();
}

void UpdatePacer::endInterval()
{
    const QHash<Key, Paced> ended = std::exchange(pacing, {});
    for (const Paced &paced : ended) {
        if (!paced.newerHeld || !paced.object)
            continue;
        pacing.insert(Key(paced.object, paced.type), {paced.object, paced.type, false});
        sendNewest(paced.object, paced.type);
    }
    if (!pacing.isEmpty())
        timer.start();
}

void UpdatePacer::sendNewest(QObject *object, QAccessible::Event type)
{
    switch (type) {
    case QAccessible::ValueChanged: {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
        QAccessibleValueInterface *value = iface ? iface->valueInterface() : nullptr;
        QAccessibleValueChangeEvent event(object, value ? value->currentValue() : QVariant());
        forward(&event);
        break;
    }
    case QAccessible::TableModelChanged: {
        QAccessibleTableModelChangeEvent event(object,
                                               QAccessibleTableModelChangeEvent::ModelReset);
        forward(&event);
        break;
    }
    default: {
        QAccessibleEvent event(object, type);
        forward(&event);
    }
    }
}

// The handler below this one is a plain function, or none: then the platform's bridge,
// which only updateAccessibility reaches, and only while no handler is installed.
void UpdatePacer::forward(QAccessibleEvent *event)
{
    if (next) {
        next(event);
        return;
    }
    const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}
