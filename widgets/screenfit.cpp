#include "screenfit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

QSize sizeWithin(const QSize &wanted, const QRect &available)
{
    return wanted.boundedTo(available.size()).expandedTo(QSize(1, 1));
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
