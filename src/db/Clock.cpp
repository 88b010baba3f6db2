#include "db/Clock.h"

#include <optional>

namespace {
std::optional<QDateTime> frozen;
}

namespace Clock {

QDateTime now()
{
    if (frozen)
        return *frozen;
    QDateTime t = QDateTime::currentDateTime();
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

QDate today() { return now().date(); }

void set(const QDateTime& moment)
{
    QDateTime t = moment;
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    frozen = t;
}

void set(const QDate& day, const QTime& time) { set(QDateTime(day, time)); }

void reset() { frozen.reset(); }

bool isFrozen() { return frozen.has_value(); }

} // namespace Clock
