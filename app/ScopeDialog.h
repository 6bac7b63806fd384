#pragma once

#include "session/Dialogs.h"

#include <QDialog>

class QPushButton;

// Form3: asks whether a command acts on the selected document, the marked ones or all of them.
class ScopeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ScopeDialog(QWidget *parent = nullptr);

    // Shows the dialog centred over its parent and waits for the choice.
    Dialogs::Scope choose();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *addButton(const char *name, const QString &caption, Dialogs::Scope scope);

    QPushButton *m_current = nullptr;
    Dialogs::Scope m_choice = Dialogs::Scope::Cancel;
};
