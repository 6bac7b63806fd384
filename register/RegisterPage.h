#pragma once

#include "register/RegisterKeyMap.h"
#include "store/DataSet.h"

#include "register/SearchBox.h"

#include <QWidget>

class Session;
class QPlainTextEdit;
class QTableView;
class RegisterDelegate;
class RegisterModel;
class SearchBox;

// Page `all`: the grid grid_m over q1, the legend Memo1 and the search box e_find.
// It owns the general query q and the bank query q_dbf of its commands.
class RegisterPage : public QWidget
{
    Q_OBJECT

public:
    RegisterPage(Session &session, QWidget *parent = nullptr);

    // Shows the page with the grid focused on q1's current row.
    void enter();
    QTableView *grid() const { return m_grid; }
    SearchBox *searchBox() const { return m_search; }
    RegisterModel *model() const { return m_model; }
    QColor gridBackground() const;
    // q: the general query, also the print source of QR_blank.
    DataSet &generalQuery() { return m_general; }

    static const QStringList &legendLines();

signals:
    // The document is q1's current row in editing or insert mode.
    void editorRequested();
    void menuRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run(RegisterCommand command);
    void quit();
    void switchArchive();
    void refresh();
    void help();
    void openSearch(SearchBox::Place place);
    void removeFilter();
    void confirmSearch();
    void searchTyped();
    void selectCurrentRow();
    void applyBackground();

    Session &m_session;
    DataSet m_general; // q
    DataSet m_bank;    // q_dbf
    QTableView *m_grid;
    RegisterModel *m_model;
    RegisterDelegate *m_delegate;
    QPlainTextEdit *m_legend;
    SearchBox *m_search;
};
