#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program: a command that fails throws it, the main
// window shows its text and the program goes on.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// A post refused because another computer changed the row since it was read;
// the edit buffer is kept.
class RowChangedError : public AppError
{
public:
    using AppError::AppError;
};

// A post refused because another computer deleted the row: writing again cannot help.
class RowDeletedError : public AppError
{
public:
    using AppError::AppError;
};
