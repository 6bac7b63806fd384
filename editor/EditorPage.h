#pragma once

#include "editor/DocumentEditing.h"
#include "editor/RecipientLookup.h"
#include "editor/FieldOrder.h"
#include "store/DataSet.h"

#include <QHash>
#include <QWidget>

struct FormElement;
class PickList;
class QLabel;
class QLineEdit;
class Session;

// Page `new`: one payment order laid out like the paper form and filled in from
// the keyboard. The document is q1's pending record; it is written when the
// editor is left.
class EditorPage : public QWidget
{
    Q_OBJECT

public:
    explicit EditorPage(Session &session, QWidget *parent = nullptr);

    // Shows q1's pending record with the focus on the number.
    void open();
    QWidget *control(const QString &name) const;

    // A recipient picked in the directory: its account goes into the document and
    // is handled as Enter in the account field would. False when the account is
    // refused; the focus then stays where it is.
    bool pickRecipient(const QString &account);

    // The tax details' panel lies over the page at its place on the form; it leads on to
    // the amount, back to the payment type, and tells when the tax fields changed.
    void placeTaxPanel(QWidget *panel);
    void leaveTaxPanelForAmount();
    void leaveTaxPanelForType();
    // The boxes show the pending record again, after something other than typing changed it.
    void loadFields();

signals:
    // The document is stored; the register is to be shown.
    void closed();
    // F2 in the account field.
    void recipientDirectoryRequested();
    // "НАЛОГ" chosen: the tax details are to be entered.
    void taxPanelRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void build();
    void buildAmountEntry();
    void buildPickLists();
    bool keyPressed(QWidget *field, QKeyEvent *event);
    void keyReleased(QWidget *field, QKeyEvent *event);
    void follow(QWidget *field, const FieldStep &step);
    bool runWork(FieldWork work);
    void focusControl(const QString &name);
    void moveToAmount();
    void openAmountEntry(const QString &text);

    bool confirmDate();
    void writeKind();
    bool writeTaxType();
    bool checkFirstAmount();
    bool confirmAmount();
    void writeVatLine();
    bool handleAccount();
    bool handleBank();
    // The red line and the field after a look-up of the recipient; whether the editor goes on.
    bool showLookup(const RecipientLookup::Answer &answer, const QString &field);
    bool leave(bool finished);

    // The boxes' texts into the pending record, and the record back into the boxes.
    void storeField(QWidget *box);
    void storeFields();
    void storeElement(const FormElement &element);

    Session &m_session;
    DataSet m_general;    // q
    DataSet m_bank;       // q_dbf
    DataSet m_recipients; // the recipient directory, for the look-up and a new entry
    QHash<QString, QWidget *> m_controls;
    QHash<QWidget *, QRect> m_design;
    QHash<QWidget *, int> m_fontPixels;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_amount = nullptr;
    QWidget *m_amountPanel = nullptr;
    QLineEdit *m_amountFirst = nullptr;
    QLineEdit *m_amountRepeat = nullptr;
    PickList *m_kinds = nullptr;
    PickList *m_taxTypes = nullptr;
    QWidget *m_taxPanel = nullptr; // Panel3, the tax details, placed here by the window
    QLabel *m_message = nullptr;
    bool m_leaving = false;
};
