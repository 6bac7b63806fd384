#pragma once

#include "support/TempDatabase.h"

#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <QTextStream>


// What every bench program shares: its arguments, its clocks and its memory figures.
namespace Bench {

QTextStream &out();

// The engine named by the first argument: "postgresql", or SQLite for anything else.
Engine engineArgument(const QStringList &args);
QString engineName(Engine engine);
// The argument at index as a number, or fallback where it is missing.
int numberArgument(const QStringList &args, int index, int fallback);

double ms(const QElapsedTimer &timer);
double median(QList<double> values);
// The processor time used so far, which a loaded machine does not stretch as it does the wall clock.
double cpuSeconds();

// The resident high-water mark (VmHWM) in MB, and a line of /proc/self/status in MB.
long peakMb();
long statusMb(const char *key);
// Starts the high-water mark again from the present size (Linux): preparing the data is not the program's own use.
bool resetPeak();

} // namespace Bench
