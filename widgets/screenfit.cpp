#include "screenfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Where a stretch of `length` starting at `position` begins once moved as little as needed
// to lie between `lowest` and `end`, or at `lowest` where it is too long for that.
int placedWithin(int position, int length, int lowest, int end)
{
    return std::max(lowest, std::min(position, end - length));
}

QRect availableArea(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    const QScreen *screen = handle ? handle->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The toolkit rounds the frame to whole logical pixels; at a fractional scale that can lose
// a device pixel on each side, so one more is allowed.
QMargins frameMarginsOf(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle)
        return QMargins();
    const qreal ratio = handle->devicePixelRatio();
    const int slack = ratio == static_cast<int>(ratio) ? 0 : 1;
    return handle->frameMargins() + QMargins(slack, slack, slack, slack);
}

// A Wayland client cannot place its window, only size it.
void setClientGeometry(QWidget *window, const QRect &geometry)
{
    if (onWayland()) {
        if (geometry.size() != window->size())
            window->resize(geometry.size());
    } else if (geometry != window->geometry()) {
        window->setGeometry(geometry);
    }
}

void fitFrame(QWidget *window)
{
    setClientGeometry(window, clientGeometryWithin(window->geometry(), availableArea(window),
                                                   frameMarginsOf(window)));
}

// Under X11 the window manager's frame is known once it has framed and mapped the window.
// The window is fitted once only: later it stays where the user puts it.
class FirstExposure : public QObject {
public:
    explicit FirstExposure(QWidget *window)
        : QObject(window)
        , window(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && window->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            fitFrame(window);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *window;
};

} // namespace

QSize sizeWithin(const QSize &wanted, const QRect &available)
{
    return wanted.boundedTo(available.size()).expandedTo(QSize(1, 1));
}

QRect clientGeometryWithin(const QRect &client, const QRect &available, const QMargins &frame)
{
    const QRect room = available.marginsRemoved(frame);
    const QSize size = sizeWithin(client.size(), room);
    const int x = placedWithin(client.x(), size.width(), room.left(), room.left() + room.width());
    const int y = placedWithin(client.y(), size.height(), room.top(), room.top() + room.height());
    return QRect(QPoint(x, y), size);
}

void fitToScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QSize fitted = sizeWithin(window->size(), available);
    if (fitted == window->size())
        return;
    window->resize(fitted);
    window->move(available.topLeft());
}

void showWithinScreen(QWidget *window)
{
    window->winId();
    if (!onWayland())
        window->windowHandle()->installEventFilter(new FirstExposure(window));
    window->show();
    // The toolkit's own decoration is known now, before the first frame reaches the
    // compositor.
    if (onWayland())
        fitFrame(window);
}

void scrollWhenCramped(QWidget *content)
{
    QWidget *parent = content->parentWidget();
    QLayout *layout = parent ? parent->layout() : nullptr;
    if (!layout)
        return;
    auto *scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    delete layout->replaceWidget(content, scroll);
    scroll->setWidget(content);
}
