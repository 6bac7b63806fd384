#pragma once

#include "store/DataSet.h"

#include <QWidget>

class AdminModel;
class QPushButton;
class QTableView;
class Session;

// Page `admin`: the administrator's list of users grid_admin over q_admin,
// the buttons "Добавить", "Сохранить", "Удалить" and the note on how to go on.
class AdminPage : public QWidget
{
    Q_OBJECT

public:
    AdminPage(Session &session, QWidget *parent = nullptr);

    // Reads every user but the administrator and gives the grid the focus.
    void open();
    // A new user with the default settings, stored at once.
    void add();
    // Stores the row being edited.
    void save();
    // Deletes the current user at once; his documents stay.
    void removeCurrent();

    QTableView *grid() const { return m_grid; }
    DataSet &query() { return m_users; }
    QPushButton *button(int position) const;

    static QStringList noteLines();
    static QStringList buttonCaptions();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool gridKey(QKeyEvent *event);
    void selectCurrentRow();
    void cancelRow();

    Session &m_session;
    DataSet m_users; // q_admin
    QTableView *m_grid;
    AdminModel *m_model;
    QList<QPushButton *> m_buttons;
};
