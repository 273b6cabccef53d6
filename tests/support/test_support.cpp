#include "tests/support/test_support.h"

#include <cstdio>
#include <map>

namespace testsupport {
namespace {

std::map<std::string, ChildMain>& Children() {
  static std::map<std::string, ChildMain> children;
  return children;
}

std::string& Program() {
  static std::string program;
  return program;
}

}  // namespace

ChildRegistrar::ChildRegistrar(const char* name, ChildMain main) { Children()[name] = main; }

int RunChild(const char* name, int argc, char** argv) {
  auto it = Children().find(name);
  if (it == Children().end()) {
    std::fprintf(stderr, "unknown child %s\n", name);
    return 125;
  }
  return it->second(argc, argv);
}

void SetTestProgram(const char* argv0) { Program() = argv0; }
const std::string& TestProgram() { return Program(); }

}  // namespace testsupport
