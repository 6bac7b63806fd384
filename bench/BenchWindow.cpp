#include "BenchWindow.h"
#include "BenchSupport.h"

namespace Bench {

std::unique_ptr<WindowFixture> preparedWindow(const TempDatabase::Options &options, const Prepare &prepare)
{
    auto fixture = std::make_unique<WindowFixture>(options);
    if (!fixture->data().isValid() || (prepare && !prepare(fixture->data()))) {
        out() << "cannot prepare the database: " << fixture->data().reason() << "\n";
        out().flush();
        return nullptr;
    }
    return fixture;
}

std::unique_ptr<WindowFixture> signedInWindow(const TempDatabase::Options &options, const Prepare &prepare)
{
    auto fixture = preparedWindow(options, prepare);
    if (fixture && !fixture->signIn(QStringLiteral("1"))) {
        out() << "cannot sign in\n";
        out().flush();
        return nullptr;
    }
    return fixture;
}

} // namespace Bench
