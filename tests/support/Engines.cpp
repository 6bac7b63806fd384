#include "support/Engines.h"

#include <QTest>

namespace Engines {

void addRows()
{
    QTest::addColumn<int>("engine");
    QTest::newRow("sqlite") << int(Engine::SQLite);
    QTest::newRow("postgresql") << int(Engine::PostgreSQL);
}

Engine current()
{
    QFETCH_GLOBAL(int, engine);
    return Engine(engine);
}

} // namespace Engines
