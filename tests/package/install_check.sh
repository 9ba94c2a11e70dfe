#!/bin/bash
# The package installed on this machine with dpkg, started from the PATH as
# a player starts it, then removed again: nothing of it may be left.
# Usage (inside xvfb-run, as root or with sudo): install_check.sh DEB BEACH_JPG
set -u
DEB=$(readlink -f "$1")
BEACH=$(readlink -f "$2")
source "$(dirname "$0")/../ui/gui_driver.sh"
source "$(dirname "$0")/beach_window.sh"
make_workspace
SUDO=$([ "$(id -u)" = 0 ] || echo sudo)

status() { dpkg-query -W -f='${Status}' marvanto 2>/dev/null; }
unknown_to_dpkg() { [[ "$(status)" =~ ^(|.*not-installed)$ ]]; }
# A copy the player installed is not ours to remove.
unknown_to_dpkg || { echo "marvanto is installed on this machine already ($(status)): remove it first"; exit 1; }

$SUDO dpkg -i "$DEB" || { echo "FAILED: dpkg -i"; exit 1; }
trap 'stop_program; $SUDO dpkg -r marvanto > /dev/null 2>&1; rm -rf "$WORK"' EXIT

# A player's PATH holds /usr/games (Debian's /etc/profile); root's does not.
export PATH=$PATH:/usr/games
check "marvanto found on the PATH" [ "$(command -v marvanto)" = /usr/games/marvanto ]
check "its man page found" man -w 6 marvanto
MARVANTO=marvanto
check_beach_window "$BEACH"

$SUDO dpkg -r marvanto > "$WORK/remove.log" 2>&1 || { cat "$WORK/remove.log"; echo "FAILED: dpkg -r"; }
check "dpkg knows no marvanto any more" unknown_to_dpkg
left=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print substr($6, 2)}' | while read -r file; do
    [ -e "$file" ] && echo "$file"; done)
check "no file of the package left" [ -z "$left" ]
[ -z "$left" ] || echo "$left"
for folder in /usr/share/marvanto /usr/share/doc/marvanto; do
    check "$folder removed" [ ! -e "$folder" ]
done

summary
