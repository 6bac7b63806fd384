#pragma once

#include <QString>
#include <QVariantList>

// A statement with `?` marks and the values bound to them, in order.
struct SqlStatement
{
    QString sql;
    QVariantList values;
};

// Every value that enters SQL text goes through here: a single quote is doubled,
// so no typed text can end the literal early or change the statement.
QString sqlQuote(const QString &value);

// The `?` marks of a statement, outside quoted text, quoted names and comments.
int placeholderCount(const QString &sql);
// The statement with its `?` marks numbered `$1`, `$2`, ... as PostgreSQL wants them.
QString numberedPlaceholders(const QString &sql);
// The statement with each bound value written in its place (text quoted), for messages and tests.
QString inlineValues(const QString &sql, const QVariantList &values);
