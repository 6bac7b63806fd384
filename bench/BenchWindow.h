#pragma once

#include "support/TempDatabase.h"
#include "support/WindowFixture.h"

#include <functional>
#include <memory>

// The window of the bench programs that drive it, apart so that the others carry no widgets.
namespace Bench {

// The main window over a database prepared with options and then by prepare, not signed in;
// nullptr, with the reason printed, when that fails.
using Prepare = std::function<bool(TempDatabase &)>;
std::unique_ptr<WindowFixture> preparedWindow(const TempDatabase::Options &options, const Prepare &prepare = {});
// The same, signed in as user 1.
std::unique_ptr<WindowFixture> signedInWindow(const TempDatabase::Options &options, const Prepare &prepare = {});

} // namespace Bench
