# Shared steps of the project's scripts (sourced, not run).

# 32-bit Windows programs (the shipped ones) need the i686 compilers and Debian's 32-bit
# Wine; the help file and the installer need chmcmd (fp-utils) and NSIS.
ZV_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev googletest
             libbenchmark-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64
             wine32:i386 xvfb tzdata unzip zlib1g-dev libz-mingw-w64-dev fp-utils nsis)

zv_install_packages() {
  local sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  # wine32:i386 installs only once the i386 architecture is known (apt-get update follows).
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  local missing=()
  for p in "${ZV_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

zv_configure_and_build() {
  for preset in "$@"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
  done
}

# Wine's helper processes inherit stdout: keep a wineserver, a booted prefix and an
# Xvfb display up for the whole test run, detached from our pipes.
ZV_DISPLAY_NUM="${ZV_DISPLAY_NUM:-57}"
zv_wine_session_start() {
  export DISPLAY=":$ZV_DISPLAY_NUM"
  export WINEPREFIX="$PWD/build/wineprefix"
  # A socket left by an Xvfb that died is no display: clear it and start a new one.
  local lock="/tmp/.X$ZV_DISPLAY_NUM-lock"
  if ! { [ -r "$lock" ] && kill -0 "$(tr -d ' ' <"$lock")" 2>/dev/null; }; then
    rm -f "/tmp/.X11-unix/X$ZV_DISPLAY_NUM" "$lock"
  fi
  if ! [ -e "/tmp/.X11-unix/X$ZV_DISPLAY_NUM" ]; then
    setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    ZV_XVFB_PID=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$ZV_DISPLAY_NUM" ] && break; sleep 0.1; done
  fi
  # Initialise the prefix (once), let that transient wineserver end, then keep a
  # persistent one: a transient server that times out under running tests drops them.
  cmake/wine-run.sh wineboot </dev/null >/dev/null 2>&1
  timeout 15 /usr/lib/wine/wineserver -w || true
  # wineserver puts itself in the background once its socket is ready.
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true  # one may be up already
  cmake/wine-run.sh wineboot </dev/null >/dev/null 2>&1
}

zv_wine_session_stop() {
  WINEPREFIX="$PWD/build/wineprefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  [ -n "${ZV_XVFB_PID:-}" ] && kill "$ZV_XVFB_PID" 2>/dev/null || true
}
