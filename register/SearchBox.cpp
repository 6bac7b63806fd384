#include "register/SearchBox.h"

#include <QKeyEvent>

const char *SearchBox::columnOf(Place place)
{
    switch (place) {
    case Place::Number:
        return "NOM";
    case Place::Recipient:
        return "NAME_POL1";
    case Place::Amount:
        break;
    }
    return "S";
}

SearchBox::SearchBox(QWidget *parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("e_find"));
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(13);
    setFont(f);
    setStyleSheet(QStringLiteral("QLineEdit { background: rgb(255, 255, 0); }"));
    setFixedSize(122, 24);
    hide();
}

void SearchBox::openAt(Place place, int x)
{
    m_place = place;
    move(x, 0);
    clear();
    show();
    raise();
    setFocus();
}

QString SearchBox::column() const
{
    return QLatin1String(columnOf(m_place));
}

void SearchBox::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat()) {
        QLineEdit::keyReleaseEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit confirmed();
        break;
    case Qt::Key_Escape:
        emit leaveRequested();
        break;
    case Qt::Key_F9:
        emit removeFilter();
        break;
    default:
        emit typed();
        break;
    }
    event->accept();
}
