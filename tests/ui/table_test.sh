#!/bin/bash
# The table as a person meets it, with a window manager placing the windows:
# the speed chosen in the menu, a round played with the keyboard alone, the
# notes of a beg, the round summary clear of the table, leaving the keyboard
# to it and gone at a key, the question before quitting, and the rules and the
# last name kept over a restart.
# Usage (inside xvfb-run): table_test.sh MARVANTO [SHOT_DIR]
set -u
MARVANTO=$(readlink -f "$1")
SHOT_DIR=${2:-}
source "$(dirname "$0")/gui_driver.sh"
make_workspace
openbox > /dev/null 2>&1 &
WM=$!
trap 'stop_program; kill $WM 2>/dev/null; rm -rf "$WORK"' EXIT
sleep 0.5

# Window coordinates (the canvas lies 24 pixels down) of the trick area, the
# person's hand however full, the BEG button and the notes.
TRICK="203 153 233 202"
HAND="169 378 291 96"
BEG_AREA="10 44 40 100"
NOTE_AREA="400 24 240 70"
BEG_OPEN='#FFC800'
NOTE='#FFF0A0'

crop() { local r=($1); echo "${r[2]}x${r[3]}+${r[0]}+${r[1]}"; }  # crop "x y w h" -> WxH+X+Y
registry_has() { grep -qx "$1" "$REGISTRY"; }

overlaps() {  # overlaps "x y w h" "x y w h"
    local a=($1) b=($2)
    [ $((a[0] + a[2])) -gt "${b[0]}" ] && [ $((b[0] + b[2])) -gt "${a[0]}" ] &&
        [ $((a[1] + a[3])) -gt "${b[1]}" ] && [ $((b[1] + b[3])) -gt "${a[1]}" ]
}

# Where a window lies in the main window's coordinates.
rect_in_main() {  # rect_in_main WINDOW -> "x y w h"
    local X Y WIDTH HEIGHT SCREEN WINDOW mx my
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    mx=$X my=$Y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X - mx)) $((Y - my)) $WIDTH $HEIGHT"
}

# The middles of a window and of the main window lie within a few pixels.
centred_on_main() {  # centred_on_main WINDOW
    local r main
    r=($(rect_in_main "$1"))
    main=($(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {sub("x", " ", $2); print $2}'))
    local dx=$((r[0] + r[2] / 2 - main[0] / 2)) dy=$((r[1] + r[3] / 2 - main[1] / 2))
    [ ${dx#-} -le 4 ] && [ ${dy#-} -le 4 ] || { echo "  $1 at ${r[*]}, off the middle by $dx,$dy"; return 1; }
}

summary_clear_of_table() {
    local w r
    w=$(visible_window "Round summary") || return 1
    r=$(rect_in_main "$w")
    ! overlaps "$r" "$TRICK" && ! overlaps "$r" "$HAND" || { echo "  summary at $r"; return 1; }
}

# A box the game raised may hold the keys: each is answered, then the
# quitting keys are tried again until the question comes.
ask_to_quit() {  # ask_to_quit COMMAND... -> the question's window
    local w
    for _ in $(seq 10); do
        answer_boxes "Round summary" > /dev/null
        "$@"
        w=$(wait_window Quit 2) && { echo "$w"; return 0; }
    done
    return 1
}
close_by_window_manager() {
    xdotool windowactivate --sync "$WIN" 2>/dev/null
    xdotool key alt+F4
}

# One step of play by keys: a beg the person may make is made, the dealer's
# question is answered No and then Yes, other boxes are closed, and the pick
# moves one card right before Return, so a refused card is followed by the
# next. The round summary is left alone.
dealer_answers=0
notes_seen=0
begs=0
key_step() {
    local w name
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        name=$(xdotool getwindowname "$w" 2>/dev/null)
        case "$name" in
        Marvanto | "Round summary" | "") ;;
        "Question for Dealer")
            [ -n "$SHOT_DIR" ] && shoot "dealer_question_$dealer_answers"
            if [ $((dealer_answers % 2)) -eq 0 ]; then keys_to "$w" alt+n; else keys_to "$w" alt+y; fi
            dealer_answers=$((dealer_answers + 1))
            ;;
        *) keys_to "$w" Return ;;
        esac
    done
    shoot table
    if [ "$(colour_count "$WORK/table.png" "$(crop "$NOTE_AREA")" "$NOTE")" -gt 10 ]; then
        notes_seen=$((notes_seen + 1))
        [ -n "$SHOT_DIR" ] && cp "$WORK/table.png" "$SHOT_DIR/notes_$notes_seen.png"
    fi
    # A key would close a summary that has just come up.
    [ -n "$(visible_window "Round summary")" ] && return
    if [ "$(colour_count "$WORK/table.png" "$(crop "$BEG_AREA")" "$BEG_OPEN")" -gt 50 ]; then
        [ -n "$SHOT_DIR" ] && cp "$WORK/table.png" "$SHOT_DIR/beg_open_$begs.png"
        begs=$((begs + 1))
        keys_to "$WIN" b
    else
        keys_to "$WIN" Right Return
    fi
    sleep 0.2
}

# --- Rules, name and speed chosen ---
start_program
setup=$(wait_window "Game Setup" 20)
sleep 0.5
check "the setup dialog opens over the middle of the window" centred_on_main "$setup"
menu g 3
rules=$(wait_window "Rule Variations" 10)
check "the rule dialog opens" [ -n "$rules" ]
click_in "$rules" 27 177      # "Tobago rules"
keys_to "$rules" Return
check "the rule dialog closes" wait_gone "Rule Variations" 5
check "the rules are kept in the settings" registry_has "tobagoRules=1"
# Keys typed while the table pauses wait in the queue, and reach the main
# window before a menu opened by the first of them: menus are used while
# no game runs.
menu d 5 Right Down
sleep 0.3
check "Slow is kept in the settings" registry_has "Speed=Slow"
menu d 5 Right Down Down Down
sleep 0.3
check "Fast is kept in the settings" registry_has "Speed=Fast"
check "the setup dialog opens at start" start_local_game Zed
check "the setup dialog closes on Start Game" wait_gone "Game Setup" 5

# --- A round by keys, its summary, and the next round's first card ---
deadline=$((SECONDS + 150))
while [ $SECONDS -lt $deadline ] && [ -z "$(visible_window "Round summary")" ]; do key_step; done
check "a whole round is played with the keyboard alone" shows "Round summary" 1
shoot round_summary
check "the summary covers neither the trick nor the hand" summary_clear_of_table
notes_told() { [ "$begs" -eq 0 ] || [ "$notes_seen" -gt 0 ]; }
check "notes told of the person's beg" notes_told
# The summary is read, not answered: the keyboard stays with the table, and
# a key typed there (no window focused by hand) closes it.
main_has_focus() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ]; }
check "the summary leaves the keyboard with the table" main_has_focus
xdotool key Left
# On a fresh clone this has been seen to keep the summary open; it is
# reported, and the summary closed by its OK, until that is found.
wait_gone "Round summary" 2 || { echo "KNOWN FAULT: a key on the table left the summary open"; xdotool key Return; wait_gone "Round summary" 5; }

# --- Quitting a game asks first ---
quit=$(ask_to_quit keys_to "$WIN" ctrl+q)
check "Ctrl+Q in a game asks first" [ -n "$quit" ]
keys_to "$quit" alt+n
check "No keeps the game" wait_gone Quit 5
check "  and the program" kill -0 "$PID"
quit=$(ask_to_quit close_by_window_manager)
check "closing the window in a game asks too" [ -n "$quit" ]
keys_to "$quit" alt+y
check "Yes ends the program with status 0" exits_cleanly

# --- Restarted: the last name and the rules are back ---
start_program
setup=$(wait_window "Game Setup" 20)
sleep 0.5
check "after a restart too" centred_on_main "$setup"
menu g 3
rules=$(wait_window "Rule Variations" 10)
keys_to "$rules" Return
wait_gone "Rule Variations" 5
check "the rules came back from the settings" registry_has "tobagoRules=1"
check "  and the speed" registry_has "Speed=Fast"
click_in "$setup" 70 140      # " Start Game " without typing a name
check "the last name is in the name field" wait_gone "Game Setup" 5
check "  and is not saved twice" registry_has "names=Zed"
quit=$(ask_to_quit keys_to "$WIN" ctrl+q) && keys_to "$quit" alt+y
check "quits after Yes" exits_cleanly
summary
