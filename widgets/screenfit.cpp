// SPDX-License-Identifier: GPL-3.0-or-later
#include "screenfit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

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

// A Wayland client cannot place its window, only size it. Under X11 a window is placed only
// where it has to move: otherwise the window manager's placement stands.
void setClientGeometry(QWidget *window, const QRect &geometry)
{
    if (!onWayland() && geometry.topLeft() != window->geometry().topLeft())
        window->setGeometry(geometry);
    else if (geometry.size() != window->size())
        window->resize(geometry.size());
}

void fitFrame(QWidget *window)
{
    setClientGeometry(window, clientGeometryWithin(window->geometry(), availableArea(window),
                                                   frameMarginsOf(window)));
}

void growWindowBy(QWidget *window, const QSize &lacking, const QRect &available)
{
    if ((lacking.width() <= 0 && lacking.height() <= 0) || !window->isVisible() ||
        window->isMaximized() || window->isFullScreen())
        return;
    const QRect now = window->geometry();
    const QRect fitted = clientGeometryWithin(QRect(now.topLeft(), now.size() + lacking), available,
                                              frameMarginsOf(window));
    const QSize size = fitted.size().expandedTo(now.size());
    if (size != now.size())
        setClientGeometry(window, QRect(fitted.topLeft(), size));
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

// One page of a tab widget, scrolled where it has less room than it needs.
class PageScroll : public QScrollArea {
public:
    explicit PageScroll(QWidget *page)
    {
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        setWidgetResizable(true);
        setWidget(page);
        // The tab widget's pane shows through the page, as it did before the page scrolled.
        page->setAutoFillBackground(false);
        viewport()->setAutoFillBackground(false);
    }

    // The room the page has where no scroll bar takes any of it.
    QSize room() const { return maximumViewportSize(); }

    // The room the page needs to show whole at `width` or wider: its least size, and the
    // height its wrapped texts take at that width.
    QSize need(int width) const
    {
        const QWidget *page = widget();
        QSize least = page->minimumSizeHint().expandedTo(page->minimumSize());
        if (page->hasHeightForWidth())
            least.setHeight(
                std::max(least.height(), page->heightForWidth(std::max(width, least.width()))));
        return least;
    }

    // What the page would lack of `need` without scroll bars.
    QSize lacking(const QSize &need) const { return (need - room()).expandedTo(QSize(0, 0)); }
};

// Watches the pages of one tab widget: when one comes to need more room than the window
// gives it, the window grows.
class PageGrowth : public QObject {
public:
    explicit PageGrowth(QTabWidget *tabs)
        : QObject(tabs)
        , tabs(tabs)
    {
        tabs->installEventFilter(this);
    }

    void watch(QWidget *page) { page->installEventFilter(this); }

    // The room the window lacks to show its largest page and every tab title whole.
    QSize lacking() const
    {
        const PageScroll *current = currentScroll();
        if (!current)
            return QSize(0, 0);
        QSize lack = current->lacking(need());
        const QTabBar *bar = tabs->tabBar();
        lack.setWidth(std::max(lack.width(), bar->sizeHint().width() - bar->width()));
        return lack;
    }

protected:
    // What the pages need when they are shown, polished and laid out, is where growing
    // starts from.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == tabs && event->type() == QEvent::Show)
            shown = need();
        else if (watched != tabs && event->type() == QEvent::LayoutRequest && tabs->isVisible())
            growForChangedPage();
        return false;
    }

private:
    const PageScroll *currentScroll() const
    {
        return dynamic_cast<const PageScroll *>(tabs->currentWidget());
    }

    QSize need() const
    {
        const PageScroll *current = currentScroll();
        const int width = current ? current->room().width() : 0;
        QSize largest;
        for (int i = 0; i < tabs->count(); ++i) {
            if (const auto *scroll = dynamic_cast<const PageScroll *>(tabs->widget(i)))
                largest = largest.expandedTo(scroll->need(width));
        }
        return largest;
    }

    // The window grows only where a page needs more than before, and only in a direction in
    // which the pages were shown whole: a window made smaller than its pages, by the user or
    // by a small screen, stays so and its pages scroll.
    void growForChangedPage()
    {
        const PageScroll *current = currentScroll();
        if (!current)
            return;
        const QSize room = current->room();
        const QSize now = need();
        QSize lack = lacking();
        if (now.width() <= shown.width() || shown.width() > room.width())
            lack.setWidth(0);
        if (now.height() <= shown.height() || shown.height() > room.height())
            lack.setHeight(0);
        shown = now;
        QWidget *window = tabs->window();
        growWindowBy(window, lack, availableArea(window));
    }

    QTabWidget *tabs;
    QSize shown;
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
    growToContent(window, availableArea(window));
    // The toolkit's own decoration is known now, before the first frame reaches the
    // compositor.
    if (onWayland())
        fitFrame(window);
}

void growToContent(QWidget *window, const QRect &available)
{
    QSize lacking(0, 0);
    for (const QObject *child : window->findChildren<QObject *>()) {
        if (const auto *growth = dynamic_cast<const PageGrowth *>(child))
            lacking = lacking.expandedTo(growth->lacking());
    }
    growWindowBy(window, lacking, available);
}

void scrollPagesWhenCramped(QTabWidget *tabs)
{
    auto *growth = new PageGrowth(tabs);
    const int current = tabs->currentIndex();
    for (int i = 0; i < tabs->count(); ++i) {
        QWidget *page = tabs->widget(i);
        const QString title = tabs->tabText(i);
        const QIcon icon = tabs->tabIcon(i);
        const QString toolTip = tabs->tabToolTip(i);
        const QString whatsThis = tabs->tabWhatsThis(i);
        const bool enabled = tabs->isTabEnabled(i);
        tabs->removeTab(i);
        tabs->insertTab(i, new PageScroll(page), icon, title);
        tabs->setTabToolTip(i, toolTip);
        tabs->setTabWhatsThis(i, whatsThis);
        tabs->setTabEnabled(i, enabled);
        growth->watch(page);
    }
    tabs->setCurrentIndex(current);
}

void showWholeNumbers(QLineEdit *field, int digits)
{
    // The width of a whole run of digits: one digit's advance is rounded to whole pixels
    // and, taken `digits` times, can fall short of the run by several.
    const QFontMetricsF metrics(field->font());
    qreal widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widest = std::max(widest, metrics.horizontalAdvance(QString(digits, QLatin1Char(digit))));
    QStyleOptionFrame frame;
    frame.initFrom(field);
    frame.lineWidth = field->hasFrame()
                          ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field)
                          : 0;
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    // The field keeps two pixels clear on either side of its text, and one for the cursor.
    const QMargins margins = field->textMargins() + field->contentsMargins();
    const int text =
        static_cast<int>(std::ceil(widest)) + 2 * 2 + 1 + margins.left() + margins.right();
    const QSize size = field->style()->sizeFromContents(
        QStyle::CT_LineEdit, &frame, QSize(text, field->sizeHint().height()), field);
    field->setMinimumWidth(size.width());
}
