#pragma once

#include <QLineEdit>

// The search box e_find over the grid's title row. Where it stands says which
// column it searches.
struct SearchPlace
{
    int x;              // pixels from the page's left edge
    const char *column; // column of q1 it searches
};

class SearchBox : public QLineEdit
{
    Q_OBJECT

public:
    enum class Place { Number, Recipient, Amount };
    static SearchPlace placeOf(Place place);

    explicit SearchBox(QWidget *parent = nullptr);
    void openAt(Place place);
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
