#!/bin/bash
# Every menu command opens what it names, and each dialog closes again; the
# background picture chosen from the Display menu shows on the table, stays
# after a restart, and "Solid" brings the green cloth back.
# Usage (inside xvfb-run): menus_test.sh MARVANTO
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

GREEN="0 120 50"
BLUE="30 60 200"
# A point of the table in window coordinates, clear of the setup dialog,
# inside a 640x480 picture and below a 320x240 one.
TABLE_X=100
TABLE_Y=300

opens_and_closes() {  # opens_and_closes TITLE LETTER DOWNS
    local dialog
    menu "$2" "$3"
    dialog=$(wait_window "$1" 10) || { echo "  \"$1\" did not open"; return 1; }
    shoot "$(echo "$1" | tr ' ' _)"
    keys_to "$dialog" Escape
    wait_gone "$1" 5 || { echo "  \"$1\" did not close"; return 1; }
}

choose_picture() {  # choose_picture FILE: Display > Background > Image...
    local files
    menu d 3 Right Down Down
    files=$(wait_window "Load Background Image" 10) || return 1
    # The file name field of the 500x300 dialog.
    type_into "$files" 200 253 "$1"
    xdotool key Return
    wait_gone "Load Background Image" 5
}

box_answered() {  # box_answered TITLE: the box shows; Return closes it
    local box
    box=$(wait_window "$1" 5) || { echo "  no \"$1\" box"; return 1; }
    keys_to "$box" Return
    wait_gone "$1" 5
}

table_shows() {  # table_shows SHOT "r g b" TOLERANCE
    sleep 0.3
    shoot "$1"
    near "$(pixel "$WORK/$1.png" $TABLE_X $TABLE_Y)" "$2" "$3"
}

start_program
wait_window "Game Setup" 20 > /dev/null
check "About opens and closes" opens_and_closes "About Marvanto" i 3
check "How to Play opens and closes" opens_and_closes "How to Play" i 1
check "Rules opens and closes" opens_and_closes "Rules of Marvanto" i 2
check "High Scores opens and closes" opens_and_closes "High Scores" d 2
check "Rule Variations opens and closes" opens_and_closes "Rule Variations" g 3
check "Rule Variations opens again" opens_and_closes "Rule Variations" g 3
check "Network Game opens and closes" opens_and_closes "Network Game" g 2
check "the setup dialog is back after a cancelled network game" shows "Game Setup"

# Hosting and joining, each given up at its first dialog.
network_dialog_gives_up() {  # network_dialog_gives_up BUTTON_X DIALOG_TITLE
    local chooser dialog
    menu g 2
    chooser=$(wait_window "Network Game" 10) || return 1
    type_into "$chooser" 150 18 Host
    click_in "$chooser" "$1" 108
    dialog=$(wait_window "$2" 10) || { echo "  no \"$2\""; return 1; }
    keys_to "$dialog" Escape
    wait_gone "$2" 5 && shows "Game Setup"
}
check "Host opens Add Players, and giving up brings the setup dialog back" network_dialog_gives_up 40 "Add Players"
check "Join asks for the host, and cancelling brings the setup dialog back" \
    network_dialog_gives_up 105 "Connect to host \(testing\)"

menu g 1
check "New Local Game asks first" shows "New Game"
keys_to "$(visible_window "New Game")" alt+n
check "No closes the question" wait_gone "New Game" 5
check "  and the setup dialog stays" shows "Game Setup"

"$CONVERT" -size 640x480 xc:"rgb(${BLUE// /,})" -quality 95 "$WORK/blue.jpg"
"$CONVERT" -size 320x240 xc:"rgb(${BLUE// /,})" -quality 95 "$WORK/small.jpg"
echo "not a picture" > "$WORK/broken.jpg"

check "a 640x480 picture is chosen" choose_picture "$WORK/blue.jpg"
check "  without a warning" [ -z "$(visible_window Warning)" ]
check "  and shows on the table" table_shows picture "$BLUE" 8
check "  and is kept in the settings" grep -qx "Background=$WORK/blue.jpg" "$REGISTRY"

quit_by_keys
check "Ctrl+Q ends the program with status 0" exits_cleanly
start_program
check "the picture is back after a restart" table_shows picture_restarted "$BLUE" 8

check "a file that is no JPEG is offered" choose_picture "$WORK/broken.jpg"
check "  and refused" box_answered Error
check "  the picture stays" table_shows picture_kept "$BLUE" 8
check "  and so does the setting" grep -qx "Background=$WORK/blue.jpg" "$REGISTRY"

check "a 320x240 picture is chosen" choose_picture "$WORK/small.jpg"
check "  with a warning" box_answered Warning
check "  enlarged to fill the table" table_shows small_picture "$BLUE" 8

menu d 3 Right Down
check "Solid gives the green cloth" table_shows solid "$GREEN" 0
check "  and is kept in the settings" grep -qx "Background=solid" "$REGISTRY"
quit_by_keys
check "second Ctrl+Q ends with status 0" exits_cleanly
start_program
check "the cloth is back after a restart" table_shows solid_restarted "$GREEN" 0
quit_by_keys
check "third Ctrl+Q ends with status 0" exits_cleanly
summary
