#!/bin/bash
# A new user's keyboard, under a window manager: the dialogs that ask for a
# name or an address take typing at once, without a click into their
# fields, and Return goes on. Typed text replaces what a field showed.
#   - Game Setup: a name, Return: the game begins.
#   - New Local Game, Game Setup again: a second name over the first.
#   - Network Game: a name, Return: this program hosts.
#   - A second program: Network Game, a name, " Join ", the host's address
#     and Return: the host lists the joiner.
# Usage (inside xvfb-run): keyboard_test.sh MARVANTO
# Screenshots go to $SHOT_DIR when it is set.
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

openbox --sm-disable > /dev/null 2>&1 &
WM=$!
trap 'stop_program; [ -n "${JOINER:-}" ] && kill "$JOINER" 2>/dev/null; kill "$WM" 2>/dev/null; rm -rf "$WORK"' EXIT
sleep 1

typed() {  # typed TEXT...: keys as a person types them, to whatever has the focus
    sleep 0.3
    xdotool type --delay 40 "$1"
    shift
    [ $# -eq 0 ] || xdotool key --delay 40 "$@"
}

active_is() {  # active_is TITLE: the window manager made that window active
    local deadline=$((SECONDS + 5))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ] && return 0
        sleep 0.1
    done
    echo "  active: $(xdotool getactivewindow getwindowname 2>/dev/null)"
    return 1
}

saved_names() {  # the remembered names, one a line
    sed -n 's/^names=//p' "$REGISTRY" 2>/dev/null | sed 's/^"//; s/"$//; s/\\n/\n/g'
}

names_are() {  # names_are NAME...: exactly these names are remembered, in order
    local expected
    expected=$(printf '%s\n' "$@")
    [ "$(saved_names)" = "$expected" ] || { echo "  names: $(saved_names | tr '\n' ' ')"; return 1; }
}

# The bottom hand shows cards: the middle of its row is not the cloth.
hand_dealt() {
    local deadline=$((SECONDS + 15)) X Y WIDTH HEIGHT SCREEN WINDOW
    while [ $SECONDS -lt $deadline ]; do
        shoot table
        eval "$(xdotool getwindowgeometry --shell "$WIN")"
        [ "$(pixel "$WORK/table.png" $((WIDTH / 2)) $((HEIGHT - 154)))" != "0 120 50" ] && return 0
        sleep 0.5
    done
    return 1
}

# Game menu entries by mouse, in main window W: the menus belong to the
# main window, and a person reaches them there while a dialog is open.
# The pane is a window of its own: the item is clicked only once it shows,
# and a click that missed is not left holding an open pane (which would
# keep the pointer and every later click).
top_windows() { xdotool search --maxdepth 1 --onlyvisible --name '' 2>/dev/null | sort; }
new_top_window() {  # new_top_window BEFORE: sets PANE to a window not in BEFORE
    PANE=$(comm -13 <(echo "$1") <(top_windows) | head -1)
    [ -n "$PANE" ]
}
shown() { top_windows | grep -qx "$1"; }
game_menu() {  # game_menu W ITEM_Y
    local before try
    for try in 1 2 3; do
        before=$(top_windows)
        xdotool mousemove --window "$1" 20 12 click 1
        if wait_until 3 new_top_window "$before"; then
            # FOX takes a click where the pointer has moved to before it.
            xdotool mousemove --window "$1" 60 "$2"
            sleep 0.2
            xdotool click 1
            wait_until 3 not shown "$PANE" && return 0
            xdotool key Escape
        fi
        sleep 0.5
    done
    return 1
}
NEW_LOCAL_GAME_Y=33
NETWORK_GAME_Y=53

# Game > New Local Game during a game, answered Yes by Return. The game may
# raise a box of its own at any moment (the dealer's question, a beg
# answered): Return answers it, and the menu is tried again.
new_local_game() {
    local deadline=$((SECONDS + 30)) name
    while [ $SECONDS -lt $deadline ]; do
        name=$(xdotool getactivewindow getwindowname 2>/dev/null)
        if [ "$name" = "New Game" ]; then
            xdotool key Return
            return 0
        fi
        if [ "$name" = Marvanto ]; then game_menu "$WIN" $NEW_LOCAL_GAME_Y; else xdotool key Return; fi
        sleep 1
    done
    return 1
}

start_program
check "Game Setup opens active" active_is "Game Setup"
typed Kim Return
check "Return in the name field starts the game" wait_gone "Game Setup" 5
check "the typed name is remembered" names_are Kim
check "the game is dealt" hand_dealt

check "New Local Game asks, and Return says Yes" new_local_game
check "Game Setup opens again, active" active_is "Game Setup"
shoot setup_again
typed Lee Return
check "a name typed again replaces the last one" wait_gone "Game Setup" 5
check "both names are remembered, each whole" names_are Kim Lee

check "New Local Game again" new_local_game
check "Game Setup opens again" shows "Game Setup" 5
game_menu "$WIN" $NETWORK_GAME_Y
check "Network Game opens active" active_is "Network Game"
typed Mo
shoot network_game
xdotool key Return
check "Return in the name field hosts" shows "Add Players" 10
check "the host's name is remembered" names_are Kim Lee Mo
ADD=$(visible_window "Add Players")

# A second program on this machine joins: its own settings, its own window.
mkdir -p "$WORK/joiner"
KNOWN=$WIN
HOME=$WORK/joiner "$MARVANTO" &
JOINER=$!
joiner_window() {
    JOINER_WIN=$(xdotool search --onlyvisible --name '^Marvanto$' | grep -vxF "$KNOWN" | head -1)
    [ -n "$JOINER_WIN" ]
}
check "the joiner's window opens" wait_until 20 joiner_window
check "the joiner's Game Setup opens active" active_is "Game Setup"
game_menu "$JOINER_WIN" $NETWORK_GAME_Y
check "the joiner's Network Game opens active" active_is "Network Game"
typed Nia
click_in "$(visible_window "Network Game")" 105 108
check "Join asks for the host, active" active_is "Connect to host (testing)"
typed 127.0.0.1 Return
check "Return in the address field joins" wait_gone "Connect to host (testing)" 10
check "no error box" test -z "$(visible_window Error)"
listed() {  # the host's Add Players list shows a line of dark text on white
    import -window "$ADD" "$WORK/add.png"
    [ -n "${SHOT_DIR:-}" ] && cp "$WORK/add.png" "$SHOT_DIR/add_players.png"
    [ "$("$CONVERT" "$WORK/add.png" -crop "200x14+20+14" \
        -format '%[fx:minima.intensity<0.5 && maxima.intensity>0.9]' info:)" = 1 ]
}
# The joiner's window hides the host's dialog: brought up only to be seen.
xdotool windowactivate --sync "$ADD" 2>/dev/null
check "the host lists the joiner" wait_until 10 listed
summary
