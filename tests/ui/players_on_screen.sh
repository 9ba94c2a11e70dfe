# Several programs on one screen, each the table of one player of a network
# game, with its own HOME: windows found by their titles and clicked as
# people would, and what each table shows read from one picture of the
# whole screen. Sourced after gui_driver.sh by the network game scripts,
# which set WORK, SHOTS, NAMES, COL and ROW (each window's left edge and
# top; a ROW left out is 0), WINS (each player's main window) and PIDS.

GREEN=007832              # the table cloth, FXRGB(0,120,50)
# Boxes the game raises on the way, answered with Return: "OK", or "Yes"
# for the dealer's question.
GAME_BOXES='^(Pick Again|Notice|Question for Dealer|Beg Accepted|Take One)$'

fail() {
    echo "FAILED: $*"
    shoot_screen
    save_shots failed
    cp "$WORK/screen.png" "$SHOTS/failed_screen.png"
    exit 1
}

alive() { kill -0 "$1" 2>/dev/null; }

found() {  # found TITLE: FOUND = a shown window of that title
    FOUND=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$FOUND" ]
}

await() {  # await TITLE WHAT: FOUND = that window, once it shows
    wait_until 15 found "$1" || fail "$2 did not appear"
}

click() {  # click WINDOW X Y: FOX takes the click where the pointer has moved
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.1
    xdotool click 1
}

menu_item() {  # menu_item I TITLE_X ITEM_Y: an item of a menu in window I's menu bar
    xdotool mousemove --window "${WINS[$1]}" "$2" 12 click 1
    sleep 0.3
    click "${WINS[$1]}" $(($2 + 40)) "$3"
}

port_owner() {  # the pid listening on $PORT, if any
    ss -ltnpH "sport = :$PORT" | grep -o 'pid=[0-9]*' | head -1 | cut -d= -f2
}

port_taken() { [ -n "$(port_owner)" ]; }

new_window() {  # new_window KNOWN_IDS: NEW = a shown main window not among them
    NEW=$(xdotool search --onlyvisible --name '^Marvanto$' 2>/dev/null | grep -vxF -e "${1:-none}" | head -1)
    [ -n "$NEW" ]
}

shoot_screen() { import -window root "$WORK/screen.png"; }

save_shots() {  # save_shots NAME: each window's part of screen.png
    local i
    for i in "${!NAMES[@]}"; do
        "$CONVERT" "$WORK/screen.png" -crop "640x580$(at "$i" 0 0)" +repage "$SHOTS/$1_${NAMES[$i]}.png"
    done
}

# What the tables show, read from screen.png in window I's coordinates (the
# small table, its canvas under a bar 24 pixels high).
at() {  # at I X Y: window I's point X Y as a place on the screen
    echo "+$((COL[$1] + $2))+$((${ROW[$1]:-0} + $3))"
}

coords() {  # coords WxH+X+Y AXIS GREP_ARGS...: x (AXIS 1) or y (2) of the pixels matched
    local crop=$1 axis=$2
    shift 2
    "$CONVERT" "$WORK/screen.png" -crop "$crop" +repage -depth 8 txt:- | grep -v '^#' | grep "$@" |
        cut -d: -f1 | cut -d, -f"$axis"
}

span() {  # span: from the least to the greatest number read, 0 for none
    sort -n | sed -n '1p;$p' | paste -sd' ' | awk '{ print NF ? $NF - $1 + 1 : 0 }'
}

bottom_cards() {  # bottom_cards I: how many cards window I's own hand shows
    local w
    w=$(coords "440x1$(at "$1" 100 426)" 1 -v "#$GREEN" | span)
    echo $((w ? (w - 71) / 20 + 1 : 0))
}

next_card() {  # next_card I: player I clicks the next card along the bottom fan
    # Each time one further along, so a refused card is followed by the next.
    local n
    n=$(bottom_cards "$1")
    [ "$n" -gt 0 ] || return 0
    click "${WINS[$1]}" $((320 - (20 * (n - 1) + 71) / 2 + 10 + 20 * (TRY[$1] % n))) 426
    TRY[$1]=$((TRY[$1] + 1))
}

answer_game_boxes() {
    local w
    for w in $(xdotool search --onlyvisible --name "$GAME_BOXES" 2>/dev/null); do
        xdotool windowfocus --sync "$w" key Return 2>/dev/null
    done
}

box_over() {  # box_over TITLE I: BOX = a box of that title shown over window I
    local X=-1 Y=-1 WIDTH HEIGHT SCREEN WINDOW
    for BOX in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$BOX" 2>/dev/null)"
        if [ "$X" -ge "${COL[$2]}" ] && [ "$X" -lt $((COL[$2] + 640)) ] &&
           [ "$Y" -ge "${ROW[$2]:-0}" ] && [ "$Y" -lt $((${ROW[$2]:-0} + 580)) ]; then
            return 0
        fi
    done
    return 1
}

refused_over() {  # refused_over I: a "Pick Again" box over window I, answered
    box_over "Pick Again" "$1" || return 1
    xdotool windowfocus --sync "$BOX"
    xdotool key Return
}

open_network_game() {  # open_network_game I BUTTON_X: Game > Network Game, the name, Host or Join
    menu_item "$1" 20 53
    await '^Network Game$' "${NAMES[$1]}'s Network Game dialog"
    local dialog=$FOUND
    type_into "$dialog" 150 17 "${NAMES[$1]}"
    click "$dialog" "$2" 108
}
