#pragma once

#include <QLineEdit>

// The search box e_find over the grid's title row. The column it stands over is
// the column it searches.
class SearchBox : public QLineEdit
{
    Q_OBJECT

public:
    enum class Place { Number, Recipient, Amount };
    // The column of q1 searched from a place.
    static const char *columnOf(Place place);

    explicit SearchBox(QWidget *parent = nullptr);
    // Opens the box emptied at x, the left edge of its column as the grid draws it.
    void openAt(Place place, int x);
    QString column() const;

signals:
    void confirmed();       // Enter
    void leaveRequested();  // Esc
    void removeFilter();    // F9
    void typed();           // any other key

protected:
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    Place m_place = Place::Amount;
};
