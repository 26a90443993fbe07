#!/usr/bin/env bash
# Creates a Wine prefix of the cleaner's own:
#   make-prefix.sh PREFIX [--desktop WxH] [--dpi N] [X=TYPE:FOLDER ...] [UNC=SERVER/SHARE:FOLDER ...]
# Drive Z: (the whole Linux file system) is removed, so that nothing run in
# the prefix can reach the machine's own files; Wine's fonts are copied in,
# since without Z: it cannot reach them. --desktop runs every program of the
# prefix in one Wine desktop (frames and captions drawn as on Windows, no X
# window manager waited for); --dpi sets the screen's logical DPI. Each
# X=TYPE:FOLDER adds drive X: of TYPE (hd, cdrom, floppy, network) at FOLDER;
# each UNC=SERVER/SHARE:FOLDER makes \\SERVER\SHARE lead to FOLDER.
set -euo pipefail
trap 'echo "make-prefix: \"$BASH_COMMAND\" failed with $? (line $LINENO)" >&2' ERR
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine.sh"
prefix=$1
shift
# The prefix's user folders (Desktop, Documents, ...) lead into HOME: an empty
# folder of the prefix's own, never the user's home.
use_prefix "$prefix"
# Wine's output is shown only when the command fails.
wine() { timeout -k 10 300 "$CLEANER_WINE" "$@" </dev/null >"$prefix/wine.out" 2>&1 ||
  { local s=$?; echo "make-prefix: wine $* failed with $s:" >&2; cat "$prefix/wine.out" >&2; return $s; }; }

[ -d "$prefix" ] && { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; } || true
rm -rf "$prefix"
mkdir -p "$prefix" "$HOME"
wine wineboot -i
rm -f "$prefix/dosdevices/z:"
mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"

# HKLM\Software is seen through WoW64 by a 32-bit reg.exe in a 64-bit
# prefix: /reg:64 writes where Wine's own 64-bit services read.
drives=()
while [ $# -gt 0 ]; do
  case $1 in
    --desktop)
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$2" /f
      shift ;;
    --dpi)
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f
      shift ;;
    UNC=*)
      spec=${1#UNC=} share=${1#UNC=}
      share=${share%%:*} folder=${spec#*:}
      mkdir -p "$folder" "$prefix/dosdevices/unc/${share%%/*}"
      ln -sfn "$folder" "$prefix/dosdevices/unc/${share,,}" ;;
    *=*)
      letter=${1%%=*} rest=${1#*=}
      type=${rest%%:*} folder=${rest#*:}
      mkdir -p "$folder"
      ln -sfn "$folder" "$prefix/dosdevices/${letter,,}:"
      wine reg add 'HKLM\Software\Wine\Drives' /v "${letter,,}:" /d "$type" /reg:64 /f
      drives+=("\"${letter,,}:\"=\"$type\"") ;;
  esac
  shift
done
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# The drive types must be in the 64-bit view, or the mount manager takes
# every drive for a local disk.
for drive in "${drives[@]}"; do
  if ! awk -v want="$drive" '/^\[/ { in_section = ($0 ~ /^\[Software\\\\Wine\\\\Drives\]/) }
                              in_section && $0 == want { found = 1 } END { exit !found }' "$prefix/system.reg"; then
    echo "make-prefix: $drive is not under [Software\\Wine\\Drives] in $prefix/system.reg" >&2
    exit 1
  fi
done
touch "$prefix/.ready"
