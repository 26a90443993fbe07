# Sourced by the scripts: how Wine and the display are reached here.
#
# CLEANER_ARCH: i686 where this machine runs 32-bit x86 code under Wine
# (wine32), else x86_64 (wine64 with the same sources built for 64-bit
# Windows: some virtual machines cannot execute 32-bit code at all).

if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  CLEANER_ARCH=i686
  CLEANER_WINE=/usr/lib/wine/wine
else
  CLEANER_ARCH=x86_64
  CLEANER_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi
export CLEANER_ARCH CLEANER_WINE

# The environment of every Wine run in the prefix $1: the prefix's user
# folders lead into a home of its own (never the user's), Wine says nothing,
# no menu entries or .NET and HTML helpers are installed, and this machine's
# loader starts the programs.
use_prefix() {
  export WINEPREFIX=$1 HOME=$1/home WINEDEBUG=${WINEDEBUG:--all} WINELOADER=$CLEANER_WINE
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
}

# Starts a virtual display unless DISPLAY names a working one. Sets
# CLEANER_XVFB_PID when it started one (stop it with stop_display).
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  CLEANER_XVFB_PID=$!
  local number
  read -r number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$number"
  echo "Virtual display $DISPLAY started (Xvfb, pid $CLEANER_XVFB_PID)."
}

stop_display() {
  if [ -n "${CLEANER_XVFB_PID:-}" ]; then
    kill "$CLEANER_XVFB_PID" 2>/dev/null || true
  fi
}
