#include "directories/MenuPanel.h"
#include "widgets/PanelHider.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

const QStringList &MenuPanel::entries()
{
    static const QStringList items = {
        QStringLiteral("ПАРАМЕТРЫ"),
        QStringLiteral("СПРАВОЧНИК ПЛАТЕЛЬЩИКОВ"),
        QStringLiteral("СПРАВОЧНИК ПОЛУЧАТЕЛЕЙ"),
        QStringLiteral("ВЫГРУЗКА В БАНК"),
        QStringLiteral("ЗАГРУЗКА СПРАВОЧНИКА БАНКОВ"),
    };
    return items;
}

MenuPanel::MenuPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel_menu"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lb_menu"));
    m_list->addItems(entries());
    m_list->setTabKeyNavigation(false);
    QFont f = m_list->font();
    f.setBold(true);
    f.setPixelSize(16);
    m_list->setFont(f);
    m_list->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_list);
    const QFontMetrics metrics(f);
    int width = 0;
    for (const QString &e : entries())
        width = qMax(width, metrics.horizontalAdvance(e));
    resize(width + 72, metrics.height() * entries().size() + 40);
    PanelHider::watch(this);
    hide();
}

void MenuPanel::open()
{
    if (parentWidget())
        move((parentWidget()->width() - width()) / 2, (parentWidget()->height() - height()) / 3);
    show();
    raise();
    m_list->setCurrentRow(0);
    m_list->setFocus();
}

bool MenuPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_list->currentRow() >= 0)
                emit chosen(Entry(m_list->currentRow()));
            return true;
        }
        if (key == Qt::Key_Escape) {
            emit closeRequested();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
