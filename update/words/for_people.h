// Numbers and times as people of the current language write them: "393216" and
// "2026-12-09 10:51" in English, "393 216" and "09/12/2026 10:51" in French. Files and
// JSON keep the raw number and the ISO time.
#pragma once

#include <string>

namespace torvexupdate {

// A count with the language's digit grouping.
std::string NumberForPeople(long long number);

// A number written with a decimal point ("12.5") with the language's decimal mark.
std::string DecimalForPeople(std::string decimal);

// A local ISO time ("2026-12-09T10:51:30+01:00") as the language writes a date and time,
// with or without its seconds; text that is no such time is returned as it is.
std::string TimeForPeople(const std::string& iso, bool seconds);

}  // namespace torvexupdate
