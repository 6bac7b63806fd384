#pragma once

#include <QDate>
#include <QDateTime>

// The one source of today's date and the time of day. Tests set a fixed moment;
// the program reads the computer's local clock.
namespace Clock {

QDateTime now();
QDate today();
// Fixes the clock at a moment (tests); an invalid moment returns to the real clock.
void set(const QDateTime &moment);

} // namespace Clock
