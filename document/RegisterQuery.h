#pragma once

#include "store/TableQuery.h"

#include <optional>

// The register's statement: current or archive, newest first; only the documents of owner
// (their LOGIN) where one is given, else every user's.
TableQuery RegisterQuery(bool archive, const std::optional<QString> &owner);
