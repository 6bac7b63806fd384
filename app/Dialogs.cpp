#include "app/Dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

QString QtDialogs::askText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Password, defaultText, &ok);
    return ok ? text : QString();
}

void QtDialogs::message(const QString &text)
{
    QMessageBox::information(m_parent, QApplication::applicationDisplayName(), text);
}

bool QtDialogs::askYesNo(const QString &caption, const QString &question)
{
    return QMessageBox::question(m_parent, caption, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void QtDialogs::error(const QString &text)
{
    QMessageBox::critical(m_parent, QApplication::applicationDisplayName(), text);
}
