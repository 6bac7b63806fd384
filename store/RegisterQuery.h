#pragma once

#include <QString>

// The register's statement: current or archive, all users or only the user's own.
QString RegisterSql(bool archive, const QString &p6, const QString &pas);
