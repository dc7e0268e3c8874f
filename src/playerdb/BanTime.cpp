#include "BanTime.h"

#include <QDateTime>
#include <chrono>
#include <cstdio>
#include <cstdlib>

BanTime LocalBanTime() {
    const QDateTime now = QDateTime::currentDateTime();
    return BanTime{now.toSecsSinceEpoch(), now.offsetFromUtc()};
}

std::string FormatBanTime(BanTime time) {
    using namespace std::chrono;
    const sys_seconds local{seconds{time.epochSeconds + time.offsetSeconds}};
    const sys_days day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss clock{local - day};
    const int offsetMinutes = std::abs(time.offsetSeconds) / 60;
    char text[48]; // room for any year the 64-bit clock reaches
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d%c%02d:%02d",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()), time.offsetSeconds < 0 ? '-' : '+',
                  offsetMinutes / 60, offsetMinutes % 60);
    return text;
}
