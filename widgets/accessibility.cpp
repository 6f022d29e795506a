// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QTextDocument>

#include <functional>
#include <utility>

namespace {

// The interfaces made here in place of the toolkit's own.
class ExposedInterface : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
};

bool showsRichText(const QLabel &label)
{
    return label.textFormat() == Qt::RichText ||
           (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
}

class SpokenLabelInterface : public ExposedInterface {
public:
    SpokenLabelInterface(QLabel *label, Speech speech)
        : ExposedInterface(label, QAccessible::StaticText)
        , speech(speech)
    {
    }

    QString text(QAccessible::Text which) const override
    {
        // A label being destroyed is a label no more, and has nothing to say.
        const auto *label = qobject_cast<const QLabel *>(object());
        if (which != QAccessible::Name || !label || !label->accessibleName().isEmpty())
            return ExposedInterface::text(which);
        return speech(label->text(), showsRichText(*label));
    }

private:
    Speech speech;
};

using Creator = std::function<QAccessibleInterface *(QWidget *)>;

QHash<const QObject *, Creator> &creators()
{
    static QHash<const QObject *, Creator> registered;
    return registered;
}

QAccessibleInterface *exposedInterface(const QString &, QObject *object)
{
    const auto found = creators().constFind(object);
    if (found == creators().cend())
        return nullptr;
    return (*found)(static_cast<QWidget *>(object));
}

void exposeWith(QWidget *widget, Creator creator)
{
    static const bool factoryInstalled = (QAccessible::installFactory(exposedInterface), true);
    Q_UNUSED(factoryInstalled)
    creators().insert(widget, std::move(creator));
    QObject::connect(widget, &QObject::destroyed, [widget] { creators().remove(widget); });
    // An interface the toolkit made while the widget was being built would stay in use.
    QAccessibleInterface *made = QAccessible::queryAccessibleInterface(widget);
    if (made && !dynamic_cast<ExposedInterface *>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

QString bounded(const QString &message)
{
    if (message.size() <= longestAnnouncement)
        return message;
    return message.left(longestAnnouncement - 1) + QChar(0x2026);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// The window's notification: a child of no size, so nothing shows on the screen.
QWidget *noticeOf(QWidget *window)
{
    const QString name = QStringLiteral("assistiveNotice");
    auto *notice = window->findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
    if (notice)
        return notice;
    notice = new QWidget(window);
    notice->setObjectName(name);
    notice->setGeometry(0, 0, 0, 0);
    notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    exposeWith(notice, [](QWidget *widget) {
        return new ExposedInterface(widget, QAccessible::Notification);
    });
    return notice;
}
#endif

} // namespace

void nameField(QWidget *field, const QString &name, QLabel *label)
{
    field->setAccessibleName(name);
    if (label)
        label->setBuddy(field);
}

void speakLabel(QLabel *label, Speech speech)
{
    exposeWith(label, [speech](QWidget *widget) {
        return new SpokenLabelInterface(static_cast<QLabel *>(widget), speech);
    });
}

void exposeAsWindow(QWidget *window)
{
    exposeWith(window,
               [](QWidget *widget) { return new ExposedInterface(widget, QAccessible::Window); });
}

void announce(QWidget *context, const QString &message)
{
    // Without a client nobody listens, and the window stays as it was built.
    if (!QAccessible::isActive() || message.isEmpty())
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(context, bounded(message));
    QAccessible::updateAccessibility(&event);
#else
    // A notification that appears is spoken with its name (Orca 43, Qt 5.15 and 6.4).
    QWidget *notice = noticeOf(context->window());
    notice->setAccessibleName(bounded(message));
    notice->hide();
    notice->show();
#endif
}

QString accessibleContent(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return {};
    if (QAccessibleTextInterface *text = iface->textInterface())
        return text->text(0, qMin(text->characterCount(), longestAnnouncement + 1));
    return iface->text(QAccessible::Name);
}

void ResultAnnouncer::install(QAbstractButton *button, QWidget *result)
{
    new ResultAnnouncer(button, result);
}

ResultAnnouncer::ResultAnnouncer(QAbstractButton *button, QWidget *result)
    : QObject(button)
    , result(result)
{
    connect(button, SIGNAL(clicked()), this, SLOT(announceResult()));
}

void ResultAnnouncer::announceResult()
{
    if (result)
        announce(result, accessibleContent(result));
}

void RowCountDescription::install(QListWidget *list, const QString &format)
{
    new RowCountDescription(list, format);
}

RowCountDescription::RowCountDescription(QListWidget *list, const QString &format)
    : QObject(list)
    , format(format)
{
    const QAbstractItemModel *model = list->model();
    connect(model, SIGNAL(rowsInserted(QModelIndex, int, int)), this, SLOT(update()));
    connect(model, SIGNAL(rowsRemoved(QModelIndex, int, int)), this, SLOT(update()));
    connect(model, SIGNAL(modelReset()), this, SLOT(update()));
    // Rows appended with the model's signals blocked are announced as a change of layout.
    connect(model, SIGNAL(layoutChanged()), this, SLOT(update()));
    update();
}

void RowCountDescription::update()
{
    // A list deletes its model as it is destroyed, and the model's last reset comes when
    // the list is no longer one: then there is nothing left to describe.
    auto *list = qobject_cast<QAbstractItemView *>(parent());
    if (!list)
        return;
    const QString description = format.arg(list->model()->rowCount());
    if (list->accessibleDescription() != description)
        list->setAccessibleDescription(description);
}
