#!/bin/bash
# Installs what the build needs (Debian 12), builds the native, fuzz and Windows
# configurations and runs every test: native under ASan/UBSan, the fuzz targets for
# a bounded time, the Windows programs under Wine. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

zv_install_packages
zv_configure_and_build native fuzz windows

zv_wine_session_start
trap zv_wine_session_stop EXIT

# One summary over all three builds: a top-level test file that includes each of them.
printf 'subdirs("native" "fuzz" "windows")\n' > build/CTestTestfile.cmake
ctest --test-dir build -j2 --output-on-failure --timeout 600
