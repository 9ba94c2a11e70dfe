#!/bin/bash
# Every game is kept, and can be looked at again: a game begun and left
# after a few tricks is in the records folder, unfinished, with the hint
# asked for; Game > Recent
# Games opens it on the table, and the keys step through it (Right a card,
# Down a trick, Left and Up back, End, Home), each step a different table;
# Escape leaves the replay and the setup dialog comes back.
# Usage (inside xvfb-run): replay_test.sh MARVANTO
# Screenshots go to $SHOT_DIR when it is set.
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

openbox --sm-disable > /dev/null 2>&1 &
WM=$!
trap 'stop_program; kill "$WM" 2>/dev/null; rm -rf "$WORK"' EXIT
sleep 1
RECORDS=$XDG_DATA_HOME/marvanto/games

typed() {  # typed KEYS...: as a person types them, to whatever has the focus
    sleep 0.3
    xdotool key --delay 60 "$@"
}
record_file() { ls "$RECORDS"/*.mvr 2> /dev/null | head -1; }
tricks_recorded() {  # at least N tricks are in the record file
    local plays
    plays=$(grep -o ' [0-3]:[2-9TJQKA][dchs]' "$(record_file)" 2> /dev/null | wc -l)
    [ "$plays" -ge $(($1 * 4)) ]
}
bar_shown() {  # the replay's bar along the bottom, in the window's grey
    shoot bar
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    [ "$(colour_count "$WORK/bar.png" "${WIDTH}x60+0+$((HEIGHT - 60))" "#CECECC")" -gt $((WIDTH * 10)) ]
}
differs() { ! cmp -s "$WORK/$1.png" "$WORK/$2.png"; }
same() { cmp -s "$WORK/$1.png" "$WORK/$2.png" || "$CONVERT" "$WORK/$1.png" "$WORK/$2.png" -metric AE -compare -format '%[distortion]' info: 2>/dev/null | grep -qx 0; }

start_program
xdotool type --delay 40 Ann
typed Return
check "the game begins" wait_gone "Game Setup" 5
check "the record is made when the game begins" wait_until 10 test -n "$(record_file)"
# Ctrl+H asks for a hint at Ann's turn (out of turn it does nothing); the
# record keeps it, written out with the trick it was asked in.
hinted() { grep -q ' hint:0' "$(record_file)"; }
hint_kept() {
    local i X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    for i in $(seq 40); do
        answer_boxes
        keys_to "$WIN" ctrl+h
        sleep 0.5
        click_in "$WIN" $((WIDTH / 2 - $(px 150) + $(px 20) * (i % 16))) $((HEIGHT / 2 + $(px 136)))
        sleep 0.5
        hinted && return 0
    done
    return 1
}
check "a hint asked for is in the record" hint_kept
play_until "no such window" 25 > /dev/null
check "the tricks played are in the record as they end" tricks_recorded 1
check "the record reads as unfinished" grep -q '^\[Result "\*"\] *$' "$(record_file)"

# New Local Game by the keyboard, at a moment no box is up.
for _ in $(seq 10); do
    answer_boxes
    click_in "$WIN" 20 $(($(px 580) / 2))
    typed alt+g Down Return
    wait_until 3 shows "New Game" && break
done
keys_to "$(visible_window "New Game")" Return
check "the game is left for Game Setup" shows "Game Setup" 10

# Game > Recent Games, its first entry: the newest game. With no game
# under way the keys pass over Call Reneed and Hint, greyed out.
click_in "$WIN" 20 $(($(px 580) / 2))
typed alt+g Down Down Down Down Down Right Down Return
check "Recent Games opens the game on the table, with its bar" wait_until 5 bar_shown
check "the setup dialog makes way for the replay" wait_gone "Game Setup" 5
shoot replay_start
typed Right
shoot replay_card
check "Right steps a card on" differs replay_start replay_card
typed Left
shoot replay_back
check "Left steps it back" same replay_start replay_back
typed Down Down
shoot replay_tricks
check "Down steps a trick at a time" differs replay_card replay_tricks
typed Up
shoot replay_trick_back
check "Up steps a trick back" differs replay_tricks replay_trick_back
typed End
shoot replay_end
typed Home
shoot replay_home
check "End and Home reach either end" differs replay_end replay_home
# Game > Review: the Expert's review runs behind a progress box; once it
# is done the table says what it found.
typed alt+g Down Down Down Down Down Down Return
# A short game may be reviewed before its box is seen at all.
shows "Review" 10 || echo "  the review ended before its progress box was seen"
check "the review ends" wait_gone "Review" 60
shoot replay_reviewed
check "the reviewed game says so on the table" differs replay_home replay_reviewed
typed Right Right Right Right Right
shoot replay
typed Escape
check "Escape leaves the replay: Game Setup again" shows "Game Setup" 10
check "the replay sent nothing: the record is as it was" grep -q '^\[Result "\*"\] *$' "$(record_file)"
click_in "$WIN" 20 $(($(px 580) / 2))
typed alt+d Down Down Down Down Down Down Return
check "Display > Statistics opens" shows "Statistics" 10
shoot statistics
keys_to "$(visible_window "Statistics")" Return

# "Play this deal again" on the bar: a new game, and its first round deals
# the cards the first game dealt.
FIRST=$(record_file)
click_in "$WIN" 20 $(($(px 580) / 2))
typed alt+g Down Down Down Down Down Right Down Return
check "the game is on the table again" wait_until 5 bar_shown
eval "$(xdotool getwindowgeometry --shell "$WIN")"
# A button takes a click once the pointer has come onto it.
second_record() { ls "$RECORDS"/*.mvr | grep -vxF "$FIRST" | head -1; }
has_second() { [ -n "$(second_record)" ]; }
for _ in 1 2 3; do
    # Under the window manager the pointer lands a title bar higher than
    # asked: the bottom row of the window is the bar's middle.
    xdotool mousemove --window "$WIN" 340 $((HEIGHT - 12)) sleep 0.3 click 1
    wait_until 3 has_second && break
done
check "the deal is played again: Game Setup makes way" wait_gone "Game Setup" 10
first_deal() { sed -n '/^dealer:/{s/ kick:\(..\).*/ kick:\1/;p;q}' "$1"; }
same_deal() { [ -n "$(second_record)" ] && [ "$(first_deal "$FIRST")" = "$(first_deal "$(second_record)")" ]; }
check "a second record is begun" wait_until 10 has_second
check "its first round deals the recorded cards" wait_until 10 same_deal
shoot deal_again
quit_by_keys
summary
