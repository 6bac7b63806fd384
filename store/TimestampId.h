#pragma once

#include <QDateTime>
#include <QString>

// "ddmmyyhhnnsszzz" of the given moment.
QString TimestampIdOf(const QDateTime &moment);
// A new identifier from the local clock; never the same twice within one process,
// since two rows made in one millisecond would otherwise share it.
QString NewTimestampId();
