// Small helpers shared by the test programs.
#pragma once

#include <string>

namespace testsupport {

using ChildMain = int (*)(int argc, char** argv);

// Registers a child entry point; see ZV_TEST_CHILD.
struct ChildRegistrar {
  ChildRegistrar(const char* name, ChildMain main);
};

int RunChild(const char* name, int argc, char** argv);
void SetTestProgram(const char* argv0);
// Path of the running test program as it was started (argv[0]).
const std::string& TestProgram();

// Folder of the source tree (committed test data lies under tests/).
inline std::string SourceDir() { return ZV_SOURCE_DIR; }

}  // namespace testsupport

// Defines a child entry point: the test program started as "<prog> --child NAME a b"
// runs this body with argc/argv holding a, b.
#define ZV_TEST_CHILD(name)                                                              \
  static int name##_child_main(int argc, char** argv);                                   \
  static testsupport::ChildRegistrar name##_child_registrar(#name, name##_child_main);   \
  static int name##_child_main([[maybe_unused]] int argc, [[maybe_unused]] char** argv)
