#pragma once

#include "store/SqlDialect.h"

// Every test of a program runs once on SQLite and once on PostgreSQL.
namespace Engines {

// Call from initTestCase_data(): adds the global rows "sqlite" and "postgresql".
void addRows();
// The engine of the global row that is running.
Engine current();

} // namespace Engines
