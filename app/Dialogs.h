#pragma once

#include "session/Dialogs.h"

#include <QString>

class QWidget;
class ScopeDialog;

class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    QString askText(const QString &caption, const QString &prompt, const QString &defaultText) override;
    std::optional<QString> askPlainText(const QString &caption, const QString &prompt, const QString &defaultText) override;
    Scope askScope() override;
    void message(const QString &text) override;
    bool askYesNo(const QString &caption, const QString &question) override;
    void error(const QString &text) override;
    std::unique_ptr<Progress> progress(const QString &caption, const QString &label) override;

private:
    // The main window's title once it has one, else the program's name.
    QString title() const;

    QWidget *m_parent;
    // Made once, over the window the boxes belong to, and kept.
    ScopeDialog *m_scopeDialog = nullptr;
};
