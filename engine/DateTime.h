#pragma once
// TDateTime arithmetic of the run: local calendar time to TDateTime, the date-bound comparison and
// the DOS packed time of the found-file record.
#include "engine/FindFileTypes.h"
#include "platform/LocalTime.h"

#include <cstdint>
#include <optional>

namespace engine
{

// Days since 1899-12-30 plus the fraction of the day; before that date the fraction is subtracted.
TDateTime EncodeDateTime(const platform::CalendarTime& time);

// A UTC file time as local TDateTime; empty when the platform cannot convert it.
std::optional<TDateTime> FileTimeToDateTime(uint64_t fileTimeUtc,
                                            const platform::LocalTimeConverter& localTime);

// Inclusive bounds, 0 = no bound. A bound without a fraction is a whole day, a bound without a
// whole part is a time of day on any date, anything else is a full date and time.
bool DateInRange(TDateTime time, TDateTime before, TDateTime after);

// DOS date word (high 16 bits) and time word (low 16 bits); 0 outside the years 1980-2107.
int32_t PackDosDateTime(const platform::CalendarTime& time);

} // namespace engine
