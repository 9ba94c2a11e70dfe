#!/bin/bash
# The table at its three sizes, as a person meets them: a first start on a
# large screen takes the medium table, a round is played there by clicking,
# Display > Card Size changes the size at once and is remembered over a
# restart, and a window resized by hand gets the largest table that fits,
# centred on the cloth. Screenshots go to SHOT_DIR when it is set.
# Usage (inside xvfb-run on a 1600x1300 screen): scale_test.sh MARVANTO
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
make_workspace

GREEN="0 120 50"
BASE="206 206 204"

size_is() {  # size_is WxH: the main window's size
    local geometry
    for _ in $(seq 20); do
        geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
        [ "$geometry" = "$1" ] && return 0
        sleep 0.1
    done
    echo "  window is $geometry"
    return 1
}

# Display > Card Size > the entry DOWNS down, until the window has that
# size: a box the game raises meanwhile takes the keys, so answer and retry.
card_size() {  # card_size DOWNS WxH
    local steps=()
    for _ in $(seq "$1"); do steps+=(Down); done
    for _ in 1 2 3 4 5; do
        answer_boxes
        menu d 4 Right "${steps[@]}"
        size_is "$2" 2> /dev/null > /dev/null && return 0
    done
    size_is "$2"
}

# 85% of 1600x1300 holds the medium table (960x870), not the large one.
start_program
check "a first start takes the medium table" size_is 960x870
TABLE_HALVES=3
check "the setup dialog opens" start_local_game Zed
check "a round at the medium size is played by clicking" play_until "Round summary" 120
shoot medium_round
answer_boxes

check "Card Size > Large gives the large table" card_size 3 1280x1160
check "  and is kept in the settings" grep -qx "CardSize=large" "$REGISTRY"
shoot large
quit_by_keys
check "the program ends" exits_cleanly

start_program
check "the large table comes back after a restart" size_is 1280x1160
shoot large_restarted
check "Card Size > Small gives the small table" card_size 1 640x580
check "  and is kept in the settings" grep -qx "CardSize=small" "$REGISTRY"
shoot small

# Made larger by hand, the window gets the medium table, whose taller top
# bar now reaches 30 pixels down, and the cloth all round it.
xdotool windowsize "$WIN" 1000 900
check "a window resized by hand keeps its size" size_is 1000x900
sleep 0.5
shoot resized
check "  and gets the medium table" near "$(pixel "$WORK/resized.png" 997 30)" "$BASE" 0
check "  with the cloth beside it" near "$(pixel "$WORK/resized.png" 5 400)" "$GREEN" 0
check "  and above it" near "$(pixel "$WORK/resized.png" 500 40)" "$GREEN" 0
check "  and no black beside the banner" [ "$(colour_count "$WORK/resized.png" 1000x150+0+750 '#000000')" -lt 500 ]
check "resizing chooses no size to remember" grep -qx "CardSize=small" "$REGISTRY"
quit_by_keys
check "the program ends again" exits_cleanly
summary
