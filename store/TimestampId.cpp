#include "store/TimestampId.h"

#include "store/Clock.h"

#include <QMutex>

QString TimestampIdOf(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("ddMMyyhhmmsszzz"));
}

QString NewTimestampId()
{
    static QMutex mutex;
    static QDateTime last;
    QMutexLocker lock(&mutex);
    QDateTime now = Clock::now();
    if (last.isValid() && now <= last)
        now = last.addMSecs(1);
    last = now;
    return TimestampIdOf(now);
}
