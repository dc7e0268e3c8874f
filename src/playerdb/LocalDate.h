#pragma once

#include <chrono>
#include <functional>
#include <string>

// The day an insert records in Rec_Created and Rec_Modified. The database
// layer asks a DateSource instead of the clock so that tests can fix the day.
using DateSource = std::function<std::chrono::year_month_day()>;

// Today in the machine's local time zone.
std::chrono::year_month_day LocalToday();

// The date as ISO text, "YYYY-MM-DD".
std::string IsoDate(std::chrono::year_month_day date);
