#include "widgets/PanelHider.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

PanelHider::PanelHider(QObject *parent) : QObject(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &PanelHider::focusChanged);
}

PanelHider &PanelHider::instance()
{
    static PanelHider *hider = new PanelHider(qApp);
    return *hider;
}

void PanelHider::watch(QWidget *panel, std::function<void()> onHide)
{
    PanelHider &hider = instance();
    hider.m_panels.append({panel, std::move(onHide)});
    connect(panel, &QObject::destroyed, &hider, [panel] {
        QList<Watched> &panels = instance().m_panels;
        panels.removeIf([panel](const Watched &w) { return w.panel == panel; });
    });
}

void PanelHider::focusChanged(QWidget *, QWidget *now)
{
    if (!now)
        return;
    const QList<Watched> panels = m_panels;
    for (const Watched &w : panels) {
        if (!w.panel->isVisible() || w.panel == now || w.panel->isAncestorOf(now))
            continue;
        if (now->window() != w.panel->window())
            continue;
        w.panel->hide();
        if (w.onHide)
            w.onHide();
    }
}
