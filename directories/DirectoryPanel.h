#pragma once

#include "store/DataSet.h"

#include <QFrame>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QTableView;
class DirectoryModel;
struct DirectoryForm;
class Session;

// Panel_plat or Panel_pol: the list of a directory's rows over its query, and
// over the list the editing panel of one row. Both hide themselves once the
// focus leaves them.
class DirectoryPanel : public QFrame
{
    Q_OBJECT

public:
    enum class Kind { Payers, Recipients };

    DirectoryPanel(Kind kind, Session &session, QWidget *parent = nullptr);

    // Shows the panel over its parent, reopens the query "select * from S_PLAT|S_POL order by 1"
    // and gives the list the focus on its first row.
    void open();
    // Recipients: whether the editor page is showing, asked at the moment of each key.
    void setEditorShowing(std::function<bool()> editorShowing);

    QTableView *list() const { return m_list; }
    DataSet &query() { return m_query; }
    QFrame *editPanel() const { return m_edit; }
    QLineEdit *box(int position) const { return m_boxes.at(position); }

signals:
    void picked(const QString &account); // recipients, editor showing: Enter in the list
    void closeRequested();               // Esc in the list

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool listKey(int key);
    bool boxKey(int position, int key);
    void boxEntered(int position);
    void boxLeft(int position);
    void boxEdited(int position);

    void editCurrent();
    void create();
    void remove();
    void makeDefault();
    void pick();
    void close();
    void showEditing();
    void checkBik();
    void fillShortName();
    bool save();
    void takeText(int position);
    void ensureEditing();
    void loadBox(int position);
    void selectCurrentRow();
    void fitParent();

    const Kind m_kind;
    const DirectoryForm &m_form;
    Session &m_session;
    DataSet m_query;   // q_plat or q_pol
    DataSet m_general; // q
    DataSet m_bank;    // q_dbf
    std::function<bool()> m_editorShowing;
    QTableView *m_list;
    DirectoryModel *m_model;
    QFrame *m_edit;
    std::array<QLineEdit *, 9> m_boxes{};
    QLabel *m_bankName;
    QLabel *m_bankError;
};
