#!/bin/bash
# Demonstration of an unattended run: builds the Windows programs, makes two infobase
# folders (one with a Cyrillic name) under build/demo, saves a configuration for them
# whose 1C:Enterprise is the stand-in, runs it under Wine twice (the archives of the
# first run dated a day back, so the second keeps numbered copies) and shows the journal
# and the archive folders.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
export LC_ALL=C.UTF-8  # Cyrillic arguments reach Wine intact

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

cmake/wine-run.sh "$bin/demo_config.exe" "$(winpath "$demo/demo.cfg")" \
  "$(winpath "$bin/enterprise_standin.exe")" "$(winpath "$demo/Архив")" \
  "$(winpath "$demo/Копии")" "$(winpath "$demo/Торговля")" "$(winpath "$demo/Salary")"
cmake/wine-run.sh "$bin/zorvan_run.exe" "$(winpath "$demo/demo.cfg")"
find "$demo/Архив" "$demo/Копии" -name '*.zip' -exec touch -d '1 day ago' {} +
cmake/wine-run.sh "$bin/zorvan_run.exe" "$(winpath "$demo/demo.cfg")"

echo
echo "=== Journal ($demo/Journal.txt) ==="
iconv -f CP1251 -t UTF-8 "$demo/Journal.txt"
echo
echo "=== Archive folders ==="
(cd "$demo" && find "Архив" "Копии" -type f -printf '%10s  %p\n' | sort -k2)
