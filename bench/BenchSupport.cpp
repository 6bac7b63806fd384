#include "BenchSupport.h"

#include <QFile>

#include <sys/resource.h>

#include <algorithm>

namespace Bench {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

Engine engineArgument(const QStringList &args)
{
    return args.value(1) == QLatin1String("postgresql") ? Engine::PostgreSQL : Engine::SQLite;
}

QString engineName(Engine engine)
{
    return engine == Engine::PostgreSQL ? QStringLiteral("postgresql") : QStringLiteral("sqlite");
}

int numberArgument(const QStringList &args, int index, int fallback)
{
    return index < args.size() ? args.at(index).toInt() : fallback;
}

double ms(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long statusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

long peakMb()
{
    return statusMb("VmHWM:");
}

bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

} // namespace Bench
