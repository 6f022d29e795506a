// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef UPDATEPACER_H
#define UPDATEPACER_H

#include <QAccessible>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QTimer>

// Paces what assistive technology hears of long work. A screen reader spends about a
// millisecond on an event; a search that renames its button after every slice sends tens
// of thousands a second, which it then works through for minutes. Of each object's name,
// description, value and table changes the first goes out at once; later ones within
// `interval` are held, and when the interval ends the newest state goes out, so each
// changing object sends at most 1000 / interval updates a second and its final state at
// most `interval` after the change. What the widgets paint is not touched.
//
// The toolkit has a single update handler for the whole process: install() puts this one
// in front of whatever is installed (the platform's bridge, or a test's handler), which
// receives what passes.
class UpdatePacer : public QObject {
    Q_OBJECT

public:
    static constexpr int interval = 100;

    // Installs the pacer, once per application; again if another handler replaced it.
    static void install();

private slots:
    void endInterval();

private:
    explicit UpdatePacer(QObject *parent);
    ~UpdatePacer() override;

    static void handle(QAccessibleEvent *event);
    void offer(QAccessibleEvent *event);
    void forward(QAccessibleEvent *event);
    void sendNewest(QObject *object, QAccessible::Event type);

    using Key = QPair<const QObject *, int>;
    struct Paced {
        QPointer<QObject> object;
        QAccessible::Event type;
        bool newerHeld;
    };

    QAccessible::UpdateHandler next = nullptr;
    QHash<Key, Paced> pacing;
    QTimer timer;
};

#endif // UPDATEPACER_H
