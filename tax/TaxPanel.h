#pragma once

#include "store/DataSet.h"

#include <QFrame>
#include <QHash>
#include <QList>

class DirectoryModel;
class PickList;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTableView;
class Session;
class TaxPeriodComposer;

// Panel3 over the editor page: the group panel_nalog where the tax details,
// fields 101 and 104 to 110, are entered from the keyboard. It writes into the
// document being edited and hides as soon as the focus leaves it.
class TaxPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TaxPanel(Session &session, QWidget *parent = nullptr);
    ~TaxPanel() override;

    // The document becomes a tax payment; the chooser gets the focus on "статус:".
    void open();
    // Switches the user's tax-parameter control P3 and saves it at once.
    void ToggleTaxControl();

signals:
    // Forward out of the panel: to the amount.
    void amountRequested();
    // Esc on the chooser: back to the payment type list l2.
    void taxTypeRequested();
    // Tax fields of the document changed; the page's copies are to show them.
    void fieldsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    void place(QWidget *w, const QRect &design);
    bool chooserKey(int key);
    bool boxKey(int field, int key);
    bool pickerKey(int key);
    bool control() const;
    void showControlState();
    void focusChanged(QWidget *old, QWidget *now);

    void actOn(int item);
    void advanceFrom(int item);
    // Whether field 22 holds what a bank takes; when not, the red message says what it must hold.
    bool accrualIdAccepted();
    void focusBox(int item);
    void openPicker(int item);
    void pick();
    void toChooser();
    void showName(int item, const QString &name);

    void editDocument();
    void loadBox(int item);
    void storeBox(int item);
    void storeBoxes();

    Session &m_session;
    DataSet m_lookup; // q
    DataSet m_codes;  // qn
    QGroupBox *m_group = nullptr;
    PickList *m_chooser = nullptr;
    QList<QLineEdit *> m_boxes;
    QHash<int, QLineEdit *> m_names;
    QTableView *m_picker = nullptr;
    DirectoryModel *m_codesModel = nullptr;
    int m_pickerItem = -1;
    QLabel *m_controlState = nullptr;
    QLabel *m_message = nullptr; // l_kod
    TaxPeriodComposer *m_composer = nullptr;
    QHash<QWidget *, QRect> m_design;
};
