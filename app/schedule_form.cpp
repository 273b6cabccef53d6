#include "app/schedule_form.h"

#include <cstdio>

namespace app {

namespace {

bool IsKnownMode(ScheduleMode mode) {
  return mode >= ScheduleMode::Daily && mode <= ScheduleMode::AtStartUp;
}

std::string TimePart(const platform::LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "В %02d:%02d, ", time.hour, time.minute);
  return text;
}

std::string WeeklyText(const Weekdays& weekdays) {
  std::string text = " каждую неделю";
  bool first = true;
  for (size_t d = 0; d < weekdays.size(); ++d) {
    if (!weekdays[d]) continue;
    text += first ? " по " : ", ";
    text += kWeekdayShortNames[d];
    first = false;
  }
  return text;
}

}  // namespace

std::string ScheduleDescription(ScheduleMode mode, const platform::LocalTime& time,
                                const Weekdays& weekdays, int day, bool once) {
  switch (mode) {
    case ScheduleMode::Daily:
      return TimePart(time) + " каждый день";
    case ScheduleMode::Weekly:
      return TimePart(time) + WeeklyText(weekdays);
    case ScheduleMode::Monthly:
      return TimePart(time) + std::to_string(day) + " числа каждого месяца";
    case ScheduleMode::AtStartUp:
      return once ? "При включении компьютера один раз в день" : "При включении компьютера";
    default:
      return "Новое расписание";
  }
}

std::optional<int> ParseDayOfMonth(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(' ');
  int value = 0;
  for (size_t i = first; i <= last; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > kLastDay) return std::nullopt;
  }
  if (value < kFirstDay) return std::nullopt;
  return value;
}

ScheduleForm::ScheduleForm(const ScheduleEntry& entry, const platform::LocalTime& now) {
  time_ = now;
  time_.second = 0;
  dayText_ = std::to_string(day_);
  if (entry.Mode == ScheduleMode::Placeholder) return;
  if (IsKnownMode(entry.Mode)) mode_ = entry.Mode;
  if (entry.HasTime()) time_ = platform::ToLocalTime(entry.Time).value_or(time_);
  if (mode_ == ScheduleMode::Weekly) {
    for (size_t d = 0; d < weekdays_.size(); ++d) weekdays_[d] = (entry.Days >> d) & 1;
  }
  if (mode_ == ScheduleMode::AtStartUp) once_ = entry.Once != 0;
  // A stored day outside 1..31 is shown as it is and stops "Применить" until mended.
  SetDayText(std::to_string(mode_ == ScheduleMode::Monthly ? entry.Date : day_));
}

void ScheduleForm::SelectMode(int position) {
  const auto mode = static_cast<ScheduleMode>(position + 1);
  mode_ = position >= 0 && IsKnownMode(mode) ? mode : ScheduleMode::Placeholder;
}

void ScheduleForm::SetWeekday(int weekday, bool ticked) {
  if (weekday >= 0 && weekday < static_cast<int>(weekdays_.size())) weekdays_[weekday] = ticked;
}

void ScheduleForm::SetDayText(const std::string& text) {
  dayText_ = text;
  if (const std::optional<int> day = ParseDayOfMonth(text)) day_ = *day;
}

bool ScheduleForm::TimeEnabled() const {
  return mode_ == ScheduleMode::Daily || mode_ == ScheduleMode::Weekly ||
         mode_ == ScheduleMode::Monthly;
}

std::string ScheduleForm::Description() const {
  return ScheduleDescription(mode_, time_, weekdays_, day_, once_);
}

bool ScheduleForm::CanApply() const {
  if (mode_ == ScheduleMode::Placeholder) return false;
  if (mode_ != ScheduleMode::Weekly) return true;
  for (bool ticked : weekdays_) {
    if (ticked) return true;
  }
  return false;
}

bool ScheduleForm::Apply(ScheduleEntry& entry) const {
  if (!CanApply() || !DayValid()) return false;
  entry.Mode = mode_;
  entry.name = Description();
  entry.Time = static_cast<uint32_t>(platform::FromLocalTime(time_).value_or(entry.Time));
  if (mode_ == ScheduleMode::Monthly) entry.Date = static_cast<uint8_t>(day_);
  if (mode_ == ScheduleMode::AtStartUp) entry.Once = once_ ? 1 : 0;
  if (mode_ == ScheduleMode::Weekly) {
    entry.Days = 0;
    for (size_t d = 0; d < weekdays_.size(); ++d) {
      if (weekdays_[d]) entry.Days |= static_cast<uint8_t>(1u << d);
    }
  }
  return true;
}

}  // namespace app
