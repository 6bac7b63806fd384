#include "store/Clock.h"

#include <QMutex>

namespace {
QMutex mutex;
QDateTime fixed;
} // namespace

namespace Clock {

QDateTime now()
{
    QMutexLocker lock(&mutex);
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void set(const QDateTime &moment)
{
    QMutexLocker lock(&mutex);
    fixed = moment;
}

} // namespace Clock
