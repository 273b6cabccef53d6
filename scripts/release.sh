#!/bin/bash
# Builds the shipped files from this tree: the 32-bit programs, the help file and the
# installer (preset windows32), and writes to build/release/
#   Zorvan-<version>-setup.exe     the installer (wizard, or silent with /S)
#   Zorvan-<version>-portable.zip  the same files in a folder "Zorvan", to run without installing
# The version is the one in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

ZV_PACKAGES+=(zip)
zv_install_packages
cmake --preset windows32 >/dev/null
cmake --build --preset windows32 --target Zorvan zorvan_launcher help_file setup

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows32/CMakeCache.txt)
bin=build/windows32/bin
out=build/release
rm -rf "$out"
mkdir -p "$out/Zorvan/manual"
cp "$bin/Zorvan-$version-setup.exe" "$out/"
cp "$bin/Zorvan.exe" "$bin/Zorvan launcher.exe" "$bin/Zorvan.chm" "$out/Zorvan/"
cp "$bin"/manual/* "$out/Zorvan/manual/"
(cd "$out" && zip -qrX "Zorvan-$version-portable.zip" Zorvan)
rm -rf "$out/Zorvan"
ls -l "$out"
