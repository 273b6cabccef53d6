// The additional task dialog without a window: the heading of the before or after task,
// the program and command line as edited, whether anything changed, the program chooser's
// starting name and the result stored into the tasks.
#pragma once

#include <string>

#include "config/general_options.h"

namespace app {

class TaskForm {
 public:
  // Opens on the before (after = false) or after task: the program without trailing
  // blanks, the command line without leading ones.
  TaskForm(bool after, const AdditionalTasks& tasks);

  std::string Heading() const;
  const std::string& Program() const { return program_; }
  const std::string& CommandLine() const { return commandLine_; }
  void SetProgram(const std::string& text) { program_ = text; }
  void SetCommandLine(const std::string& text) { commandLine_ = text; }

  // The file name the program chooser starts with.
  std::string ChooserStart() const;
  // A file chosen in the program chooser replaces the program.
  void ChooseProgram(const std::string& path);

  // Whether either text differs from what the dialog opened with ("Применить" enabled).
  bool Changed() const;
  // Stores both texts without trailing blanks as this task's program and command line.
  void Apply(AdditionalTasks& tasks) const;

 private:
  bool after_;
  std::string program_, commandLine_;
  std::string openedProgram_, openedCommandLine_;
};

}  // namespace app
