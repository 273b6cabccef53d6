#!/bin/bash
# Installs what the build needs (Debian 12), builds the native, fuzz and Windows
# configurations and runs every test: native under ASan/UBSan, the fuzz targets for
# a bounded time, the Windows programs under Wine (every test on the 64-bit build; the
# whole-process and installer tests on the 32-bit one, which is shipped). Ends with
# ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

zv_install_packages
zv_configure_and_build native fuzz windows windows32

zv_wine_session_start
trap zv_wine_session_stop EXIT

# One summary over all builds: a top-level test file that includes each of them.
printf 'subdirs("native" "fuzz" "windows" "windows32")\n' > build/CTestTestfile.cmake
# Wine on a loaded machine now and then fails to bring a process up, so a failed test is
# run once more; its first failure stays in the log above the summary.
ctest --test-dir build -j2 --output-on-failure --timeout 600 --repeat until-pass:2
