#pragma once

#include <QFrame>

class QListWidget;

// Panel_menu over the register: the list lb_menu of the settings, the two directories,
// the export to the bank and the bank directory's load. It hides itself once the focus leaves it.
class MenuPanel : public QFrame
{
    Q_OBJECT

public:
    enum Entry { Settings, Payers, Recipients, SendToBank, LoadBanks };
    static const QStringList &entries();

    explicit MenuPanel(QWidget *parent = nullptr);
    // Shows the panel with the first entry selected and the focus in the list.
    void open();
    QListWidget *list() const { return m_list; }

signals:
    void chosen(MenuPanel::Entry entry); // Enter
    void closeRequested();               // Esc

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *m_list;
};
