#include "app/task_form.h"

#include "app/program_choice.h"

namespace app {

namespace {

std::string TrimRight(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string TrimLeft(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

TaskForm::TaskForm(bool after, const AdditionalTasks& tasks)
    : after_(after),
      program_(TrimRight(after ? tasks.PostProcessFileName : tasks.PreProcessFileName)),
      commandLine_(TrimLeft(after ? tasks.PostProcessCmdLine : tasks.PreProcessCmdLine)),
      openedProgram_(program_),
      openedCommandLine_(commandLine_) {}

std::string TaskForm::Heading() const {
  return after_ ? "После выполнения заданий запустить приложение:"
                : "До начала выполнения заданий запустить приложение:";
}

std::string TaskForm::ChooserStart() const { return GetProgramFromCommandLine(program_); }

void TaskForm::ChooseProgram(const std::string& path) { program_ = ChosenProgramText(path); }

bool TaskForm::Changed() const {
  return program_ != openedProgram_ || commandLine_ != openedCommandLine_;
}

void TaskForm::Apply(AdditionalTasks& tasks) const {
  (after_ ? tasks.PostProcessFileName : tasks.PreProcessFileName) = TrimRight(program_);
  (after_ ? tasks.PostProcessCmdLine : tasks.PreProcessCmdLine) = TrimRight(commandLine_);
}

}  // namespace app
