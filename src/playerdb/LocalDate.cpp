#include "LocalDate.h"

#include <QDate>
#include <cstdio>

std::chrono::year_month_day LocalToday() {
    const QDate today = QDate::currentDate();
    return std::chrono::year_month_day{std::chrono::year{today.year()},
                                       std::chrono::month{static_cast<unsigned>(today.month())},
                                       std::chrono::day{static_cast<unsigned>(today.day())}};
}

std::string IsoDate(std::chrono::year_month_day date) {
    char text[16]; // "YYYY-MM-DD" and room for a five-digit or negative year
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}
