#!/bin/bash
# A first game as a person plays it: the setup dialog, a name, " Start Game ",
# then cards clicked from the bottom hand, every box answered, until the
# round summary shows. The name is then in the settings file.
# Usage (inside xvfb-run): play_test.sh MARVANTO
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

start_program
check "the setup dialog opens at start" start_local_game Zed
check "the setup dialog closes on Start Game" wait_gone "Game Setup" 5
check "a whole round is played to its summary" play_until "Round summary" 100
shoot round_summary
check "the player's name is remembered" grep -qx "names=Zed" "$REGISTRY"

quit_by_keys
check "Ctrl+Q in a game ends the program with status 0" exits_cleanly
summary
