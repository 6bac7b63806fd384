#pragma once

#include "store/SqlText.h"

#include <QStringList>

// The register's statement: current or archive, all users or only the user's own.
SqlStatement RegisterSql(bool archive, const QString &p6, const QString &pas);

// What the register's grid shows and its commands judge; the rest of a document
// is read from its table when the document itself is wanted.
QStringList RegisterHeldColumns();
