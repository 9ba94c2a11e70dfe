#!/bin/bash
# A whole game to "Play again?", as a person plays it: longer than a test
# run should take, so it is run by hand or by a make target, not by ctest.
# Answering No brings the setup dialog back; the result reaches the high
# score table, which the settings file holds after quitting.
# Usage: xvfb-run -a -s "-screen 0 1024x768x24 -noreset" tests/ui/full_game.sh MARVANTO
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

start_program
check "the setup dialog opens at start" start_local_game Zed
check "a whole game is played to its end" play_until "Game over" 900
shoot game_over
keys_to "$(visible_window "Game over")" alt+n
check "No to \"Play again?\" brings the setup dialog back" shows "Game Setup" 10
menu d 2
check "the high scores show" shows "High Scores"
shoot high_scores
keys_to "$(visible_window "High Scores")" Escape
quit_by_keys
check "Ctrl+Q ends the program with status 0" exits_cleanly
check "the high score table is in the settings file" grep -q "^Data=" "$REGISTRY"
summary
