// The one clock of the program: every "now" and "today", in C++ and in SQL,
// comes from here, so tests can put the whole shop at any moment.
#pragma once

#include <QDate>
#include <QDateTime>

namespace Clock {

// Local time, whole seconds.
QDateTime now();
QDate today();

// Freezes the clock at a moment (tests); reset() follows the system clock again.
void set(const QDateTime& moment);
void set(const QDate& day, const QTime& time = QTime(12, 0));
void reset();
bool isFrozen();

} // namespace Clock
