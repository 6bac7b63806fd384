#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Panels and pick lists hide themselves as soon as the focus lands outside them.
// One handler on the application's focus changes serves them all; a focus that
// goes nowhere (the window losing activation) or into another window (a message
// box) leaves them as they are.
class PanelHider : public QObject
{
    Q_OBJECT

public:
    // onHide runs after the panel hid itself, for panels that also empty themselves.
    static void watch(QWidget *panel, std::function<void()> onHide = {});

private:
    explicit PanelHider(QObject *parent);
    static PanelHider &instance();
    void focusChanged(QWidget *old, QWidget *now);

    struct Watched
    {
        QWidget *panel;
        std::function<void()> onHide;
    };
    QList<Watched> m_panels;
};
