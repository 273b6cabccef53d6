// One launcher poll over 100 configuration files.
// Usage: launcher_poll_winbench [rounds, default 20]
#include <cstdlib>

#include "bench/launcher_poll.h"

int main(int argc, char** argv) { return pollbench::Run(argc > 1 ? std::atoi(argv[1]) : 20); }
