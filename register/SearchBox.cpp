#include "register/SearchBox.h"

#include <QKeyEvent>

SearchPlace SearchBox::placeOf(Place place)
{
    switch (place) {
    case Place::Number:
        return {55, "NOM"};
    case Place::Recipient:
        return {325, "NAME_POL1"};
    case Place::Amount:
        break;
    }
    return {615, "S"};
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

void SearchBox::openAt(Place place)
{
    m_place = place;
    move(placeOf(place).x, 0);
    clear();
    show();
    raise();
    setFocus();
}

QString SearchBox::column() const
{
    return QLatin1String(placeOf(m_place).column);
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
