#!/usr/bin/env bash
# Creates a Wine prefix for the tests: make-prefix.sh RUNNER PREFIX [X=TYPE:FOLDER ...]
# Drive Z: (the whole Linux file system) is removed, so that no search can
# reach the machine's real files. Each X=TYPE:FOLDER adds drive X: of TYPE
# (hd, cdrom, floppy, network) at FOLDER.
set -euo pipefail
runner=$1 prefix=$2
shift 2
rm -rf "$prefix"
mkdir -p "$prefix"
CLEANER_WINEPREFIX="$prefix" "$runner" wineboot -i >/dev/null 2>&1
rm -f "$prefix/dosdevices/z:"
# Every program of the prefix runs in a Wine desktop: windows get frames and
# captions drawn as on Windows, and no X window manager is waited for.
CLEANER_WINEPREFIX="$prefix" "$runner" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
CLEANER_WINEPREFIX="$prefix" "$runner" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
for spec in "$@"; do
  letter=${spec%%=*} rest=${spec#*=}
  type=${rest%%:*} folder=${rest#*:}
  mkdir -p "$folder"
  ln -sfn "$folder" "$prefix/dosdevices/${letter,,}:"
  CLEANER_WINEPREFIX="$prefix" "$runner" reg add 'HKLM\Software\Wine\Drives' /v "${letter,,}:" /d "$type" /f >/dev/null 2>&1
done
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
touch "$prefix/.ready"
