#!/bin/bash
# A person chooses the Expert in Game Setup and plays against it: the choice
# is remembered, the computers answer while the window keeps working, and
# Game > Hint (Ctrl+H) outlines a card of the person's hand when it is the
# person's turn.
# Usage (inside xvfb-run): expert_test.sh MARVANTO
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

HINT_BLUE=00D2FF

choose_expert_and_start() {  # choose_expert_and_start NAME
    local setup
    setup=$(wait_window "Game Setup" 20) || return 1
    type_into "$setup" 150 18 "$1"
    # The "Computer:" list drops down below its field while the button is
    # held; Expert is its second entry, chosen where the button is let go.
    xdotool mousemove --window "$setup" 150 108 sleep 0.2 mousedown 1 sleep 0.3 \
        mousemove --window "$setup" 150 140 sleep 0.2 mousemove --window "$setup" 150 150 sleep 0.3 mouseup 1
    sleep 0.3
    click_in "$setup" 70 140
}

# Asks for a hint every second until one is drawn: at the person's turn
# the hinted card gains a light blue outline (no card face shows that blue). Out
# of turn the command does nothing, and a beg decision hinted "Beg" has no
# card: so now and then a card is played to move the game on.
hint_outlines_a_card() {
    local deadline=$((SECONDS + 120)) i=0 tries=0 blue X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    while [ $SECONDS -lt $deadline ]; do
        answer_boxes
        keys_to "$WIN" ctrl+h
        sleep 1
        shoot hint
        blue=$(colour_count "$WORK/hint.png" "${WIDTH}x${HEIGHT}+0+0" "$HINT_BLUE")
        [ "$blue" -gt 500 ] && return 0
        tries=$((tries + 1))
        if [ $((tries % 10)) -eq 0 ]; then
            click_in "$WIN" $((WIDTH / 2 - $(px 150) + $(px 20) * (i % 16))) $((HEIGHT / 2 + $(px 136)))
            i=$((i + 1))
        fi
    done
    echo "  no outlined card within 120 s"
    return 1
}

no_blue_before_a_hint() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    shoot table
    [ "$(colour_count "$WORK/table.png" "${WIDTH}x${HEIGHT}+0+0" "$HINT_BLUE")" -eq 0 ]
}

start_program
check "Expert is chosen in the setup dialog and the game starts" choose_expert_and_start Ida
check "the setup dialog closes on Start Game" wait_gone "Game Setup" 5
check "the choice is remembered in the settings" grep -qx "computer=Expert" "$REGISTRY"
check "no hint is drawn before one is asked for" no_blue_before_a_hint
check "Ctrl+H outlines a card at the person's turn" hint_outlines_a_card
shoot expert_hint
check "a whole round against the Expert is played to its summary" play_until "Round summary" 150
shoot expert_round_summary

quit_by_keys
check "Ctrl+Q ends the program with status 0" exits_cleanly

start_program
check "the setup dialog offers Expert again after a restart" shows "Game Setup" 20
quit_by_keys
summary
