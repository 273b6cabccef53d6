#!/bin/bash
# Demonstration of the main program, Windows build under Wine. Makes two infobase folders
# (one with a Cyrillic name) under build/demo, saves a configuration for them whose
# 1C:Enterprise is the stand-in, and runs it twice as the launcher would start it,
# "Zorvan.exe /@<configuration> /BEGIN" (the archives of the first run dated a day back,
# so the second keeps numbered copies); the program runs unattended and ends by itself.
# Then shows the journal and the archive folders.
#
#   bash scripts/demo.sh            the unattended runs (on a private Xvfb display)
#   bash scripts/demo.sh --window   then opens the main window on the demo configuration
#                                   on your own display ($DISPLAY)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
export LC_ALL=C.UTF-8  # Cyrillic arguments reach Wine intact

window=no
[ "${1:-}" = "--window" ] && window=yes
user_display="${DISPLAY:-}"

zv_install_packages
zv_configure_and_build windows

demo="$PWD/build/demo"
rm -rf "$demo"
mkdir -p "$demo/Архив" "$demo/Копии"
for base in "Торговля" "Salary"; do
  mkdir -p "$demo/$base"
  printf 'metadata of %s\r\n' "$base" > "$demo/$base/1cv7.md"
  printf 'records\r\n' > "$demo/$base/1SJOURN.DBF"
  printf 'constants\r\n' > "$demo/$base/1SCONST.DBF"
done
mkdir -p "$demo/Торговля/SYSLOG"
printf '20261201;09:00:00;operator;Config;1\r\n' > "$demo/Торговля/SYSLOG/1cv7.mlg"

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
bin="$PWD/build/windows/bin"

zv_wine_session_start
trap zv_wine_session_stop EXIT
# The journal name holds no folder: it lies in the per-user data folder.
journal="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Zorvan/Journal.txt"
rm -f "$journal"

cmake/wine-run.sh "$bin/demo_config.exe" "$(winpath "$demo/demo.cfg")" \
  "$(winpath "$bin/enterprise_standin.exe")" "$(winpath "$demo/Архив")" \
  "$(winpath "$demo/Копии")" "$(winpath "$demo/Торговля")" "$(winpath "$demo/Salary")"
cmake/wine-run.sh "$bin/Zorvan.exe" "/@$(winpath "$demo/demo.cfg")" /BEGIN
find "$demo/Архив" "$demo/Копии" -name '*.zip' -exec touch -d '1 day ago' {} +
cmake/wine-run.sh "$bin/Zorvan.exe" "/@$(winpath "$demo/demo.cfg")" /BEGIN

echo
echo "=== Journal ($journal) ==="
iconv -f CP1251 -t UTF-8 "$journal"
echo
echo "=== Archive folders ==="
(cd "$demo" && find "Архив" "Копии" -type f -printf '%10s  %p\n' | sort -k2)

if [ "$window" = yes ]; then
  if [ -z "$user_display" ]; then
    echo "--window needs a display of your own (DISPLAY is not set)" >&2
    exit 1
  fi
  DISPLAY="$user_display" cmake/wine-run.sh "$bin/Zorvan.exe" "/@$(winpath "$demo/demo.cfg")"
fi
