// Test programs double as their own child processes: "<test program> --child NAME args"
// runs the child registered under NAME instead of the tests.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/test_support.h"

int main(int argc, char** argv) {
  testsupport::SetTestProgram(argv[0]);
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0)
    return testsupport::RunChild(argv[2], argc - 3, argv + 3);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
