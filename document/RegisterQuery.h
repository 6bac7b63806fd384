#pragma once

#include "store/TableQuery.h"

// The register's statement: current or archive, all users or only the user's own, newest first.
TableQuery RegisterQuery(bool archive, const QString &p6, const QString &pas);
