// The schedule dialog without a window: the mode and its values as the operator sets
// them, the description built from them (the schedule's text in the tree and its section
// name in the configuration file, so it must stay byte for byte as it is), which
// controls apply, whether "Применить" may be pressed, and the result written into the
// entry.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "config/entries.h"
#include "platform/local_time.h"

namespace app {

// The texts of the mode list in its order; the mode is the position + 1.
inline constexpr std::array<const char*, 4> kScheduleModeTexts = {
    "Каждый день", "Каждую неделю", "Каждый месяц", "При включении компьютера"};
// Short weekday names of the description, by weekday number (0 Sunday .. 6 Saturday).
inline constexpr std::array<const char*, 7> kWeekdayShortNames = {"Вс", "Пн", "Вт", "Ср",
                                                                  "Чт", "Пт", "Сб"};
inline constexpr int kFirstDay = 1, kLastDay = 31;
// What the operator reads when the day of the month is not a number from 1 to 31.
inline constexpr char kDayRangeMessage[] = "Введите целое число от 1 до 31.";

using Weekdays = std::array<bool, 7>;  // by weekday number, 0 Sunday

// The description of a schedule. The time part "В HH:MM, " ends with a blank and the
// texts of modes 1 and 2 begin with one: their descriptions have two blanks after the
// comma, which stored files rely on.
std::string ScheduleDescription(ScheduleMode mode, const platform::LocalTime& time,
                                const Weekdays& weekdays, int day, bool once);

// A day of the month as typed: a whole number from 1 to 31, blanks around it allowed.
std::optional<int> ParseDayOfMonth(const std::string& text);

class ScheduleForm {
 public:
  // Opens on an entry: its mode and values, or, for the placeholder (mode 0), the time
  // now with seconds 0. The weekday boxes start from Days only in mode 2.
  ScheduleForm(const ScheduleEntry& entry, const platform::LocalTime& now);

  // The operator's changes. Position -1 of the mode list is no mode.
  void SelectMode(int position);
  void SetTime(const platform::LocalTime& time) { time_ = time; }
  void SetWeekday(int weekday, bool ticked);
  void SetDayText(const std::string& text);
  void SetOnce(bool once) { once_ = once; }

  ScheduleMode Mode() const { return mode_; }
  int ModePosition() const { return static_cast<int>(mode_) - 1; }
  const platform::LocalTime& Time() const { return time_; }
  bool Weekday(int weekday) const { return weekdays_[weekday]; }
  const std::string& DayText() const { return dayText_; }
  bool Once() const { return once_; }

  // Which controls apply: the time in modes 1 to 3; the weekdays only in mode 2 (the
  // dialog is compact otherwise), the day of the month in mode 3, the once box in mode 4.
  bool TimeEnabled() const;
  bool WeekdaysShown() const { return mode_ == ScheduleMode::Weekly; }
  bool DayShown() const { return mode_ == ScheduleMode::Monthly; }
  bool OnceShown() const { return mode_ == ScheduleMode::AtStartUp; }

  std::string Description() const;
  // A mode is chosen and, every week, at least one weekday.
  bool CanApply() const;
  // The day of the month is checked only where it is used, in mode 3.
  bool DayValid() const { return mode_ != ScheduleMode::Monthly || ParseDayOfMonth(dayText_); }
  // Writes the result into entry: mode and description, and for a real mode the time and
  // the value of that mode; values of the other modes stay. False, entry unchanged, when
  // the form cannot be applied.
  bool Apply(ScheduleEntry& entry) const;

 private:
  ScheduleMode mode_ = ScheduleMode::Placeholder;
  platform::LocalTime time_;
  Weekdays weekdays_{};
  std::string dayText_;
  int day_ = kFirstDay;  // the last valid day typed; the description shows it
  bool once_ = false;
};

}  // namespace app
