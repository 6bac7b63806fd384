#pragma once

#include "register/RegisterKeyMap.h"

#include <QWidget>

class MainWindow;
class QPlainTextEdit;
class QTableView;
class RegisterDelegate;
class RegisterModel;
class SearchBox;

// Page `all`: the grid grid_m over q1, the legend Memo1 and the search box e_find.
class RegisterPage : public QWidget
{
    Q_OBJECT

public:
    RegisterPage(MainWindow &window, QWidget *parent = nullptr);

    // Shows the page with the grid focused on q1's current row.
    void enter();
    QTableView *grid() const { return m_grid; }
    SearchBox *searchBox() const { return m_search; }
    RegisterModel *model() const { return m_model; }
    QColor gridBackground() const;

    static const QStringList &legendLines();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run(RegisterCommand command);
    void quit();
    void switchArchive();
    void refresh();
    void removeFilter();
    void confirmSearch();
    void searchTyped();
    void selectCurrentRow();
    void applyBackground();

    MainWindow &m_window;
    QTableView *m_grid;
    RegisterModel *m_model;
    RegisterDelegate *m_delegate;
    QPlainTextEdit *m_legend;
    SearchBox *m_search;
};
