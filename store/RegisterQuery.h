#pragma once

#include "store/SqlText.h"

// The register's statement: current or archive, all users or only the user's own.
SqlStatement RegisterSql(bool archive, const QString &p6, const QString &pas);
