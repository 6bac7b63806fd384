#pragma once

#include <QFrame>
#include <QVector>

class QListWidget;
class Session;

// Panel_param over the register: the list lb_param of the user's seven settings
// with the controls p0 to p6 beside it. It edits the signed-in user's own row,
// so every other part sees a saved setting at once. It hides itself once the
// focus leaves it.
class SettingsPanel : public QFrame
{
    Q_OBJECT

public:
    explicit SettingsPanel(Session &session, QWidget *parent = nullptr);

    // Shows the panel with the first entry selected and the focus in the list.
    void open();
    QListWidget *list() const { return m_list; }
    QWidget *control(int position) const { return m_controls.value(position); }

    static QStringList noteLines();
    static QString helpLine();

signals:
    void closeRequested(); // Esc in the list

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool listKey(int key);
    bool controlKey(int position, int key);
    void startEditing();
    void save(int position);
    void discard(int position);
    void load(int position);
    void loadAll();
    void reloadRegister();

    Session &m_session;
    QListWidget *m_list;
    QVector<QWidget *> m_controls;
    int m_editing = -1; // the control whose value is being typed, -1 when none
};
