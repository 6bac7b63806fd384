#include "app/ScopeDialog.h"

#include <QGridLayout>
#include <QPushButton>
#include <QShowEvent>

ScopeDialog::ScopeDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral(" "));
    setModal(true);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(19);
    setFont(bold);

    auto *layout = new QGridLayout(this);
    m_current = addButton("Button1", QStringLiteral("Текущую"), Dialogs::Scope::Current);
    layout->addWidget(m_current, 0, 0);
    layout->addWidget(addButton("Button2", QStringLiteral("Отмеченые"), Dialogs::Scope::Marked), 0, 1);
    layout->addWidget(addButton("Button3", QStringLiteral("Все"), Dialogs::Scope::All), 0, 2);
    QPushButton *cancel = addButton("Button4", QStringLiteral("Esc - Отмена"), Dialogs::Scope::Cancel);
    cancel->setStyleSheet(QStringLiteral("color: red;"));
    layout->addWidget(cancel, 1, 0, 1, 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPushButton *ScopeDialog::addButton(const char *name, const QString &caption, Dialogs::Scope scope)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setMinimumWidth(160);
    button->setAutoDefault(true);
    connect(button, &QPushButton::clicked, this, [this, scope] {
        m_choice = scope;
        done(scope == Dialogs::Scope::Cancel ? QDialog::Rejected : QDialog::Accepted);
    });
    return button;
}

void ScopeDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Enter chooses the current document, whatever was pressed the last time.
    m_current->setDefault(true);
    m_current->setFocus(Qt::OtherFocusReason);
}

Dialogs::Scope ScopeDialog::choose()
{
    // Esc and the window's close button leave the choice at cancel.
    m_choice = Dialogs::Scope::Cancel;
    adjustSize();
    if (QWidget *over = parentWidget()) {
        const QRect area = over->window()->frameGeometry();
        move(area.center() - rect().center());
    }
    exec();
    return m_choice;
}
