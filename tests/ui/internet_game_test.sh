#!/bin/bash
# Three programs on this machine play an internet game through a transit
# relay on 127.0.0.1, as three people at home would: Hana hosts with
# "Invite over the internet" and copies the invitation; Jo and Kit join
# with it, and a computer takes the fourth seat. Each plays a card of the
# first trick from its own window, Kit says something in the chat, and it
# reaches both other tables through the host. Then Jo's program is killed:
# the host's computer plays on, and Jo joins again with the same invitation
# and plays from the rejoined table.
# Usage (inside xvfb-run, on a 1280x1160 screen):
#   internet_game_test.sh MARVANTO RELAY_ADDRESS_FILE
# The file holds the relay's host:port (the tests' relay fixture writes it).
# Screenshots go to $SHOT_DIR when it is set.
set -u
MARVANTO=$(readlink -f "$1")
RELAY=$(cat "$2") || exit 1
CONVERT=/usr/bin/convert   # `convert` may be shadowed by a stand-in
WORK=$(mktemp -d)
SHOTS=${SHOT_DIR:-$WORK}
mkdir -p "$SHOTS"
cd "$WORK"

NAMES=(Hana Jo Kit)       # the host first, then its partner
COL=(0 640 0)             # each window's cell of a 2x2 grid
ROW=(0 0 580)
PIDS=()
WIN=()
TRY=(0 0 0)               # the next card along its fan each player tries
GREEN=007832              # the table cloth, FXRGB(0,120,50)

fail() {
    echo "FAILED: $*"
    shoot
    save_shots failed
    exit 1
}

not() { ! "$@"; }
wait_until() {  # wait_until SECONDS COMMAND...: polls until COMMAND succeeds
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

alive() { kill -0 "$1" 2>/dev/null; }

found() {  # found TITLE: sets FOUND to a shown window of that title
    FOUND=$(xdotool search --onlyvisible --name "$1" | head -1)
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

type_into() {  # type_into WINDOW X Y TEXT: a text field of a dialog
    click "$1" "$2" "$3"
    xdotool windowfocus --sync "$1"
    xdotool type --delay 20 "$4"
}

menu() {  # menu I TITLE_X ITEM_Y: an item of a menu in window I's menu bar
    xdotool mousemove --window "${WIN[$1]}" "$2" 12 click 1
    sleep 0.3
    click "${WIN[$1]}" $(($2 + 40)) "$3"
}


new_window() {  # new_window KNOWN_IDS: NEW = a shown main window not among them
    NEW=$(xdotool search --onlyvisible --name '^Marvanto$' | grep -vxF -e "${1:-none}" | head -1)
    [ -n "$NEW" ]
}

start_player() {  # start_player I: a process with its own HOME, its window in cell I
    local known
    known=$(xdotool search --onlyvisible --name '^Marvanto$')
    # The small table, so that four windows fit the screen.
    mkdir -p "$WORK/home$1/.foxrc/zok"
    printf '[Display]\nCardSize=small\nSpeed=Fast\n[SETTINGS]\nrelay=%s\n' "$RELAY" > "$WORK/home$1/.foxrc/zok/marvanto"
    HOME=$WORK/home$1 "$MARVANTO" &
    PIDS[$1]=$!
    wait_until 20 new_window "$known" || fail "${NAMES[$1]}: no window"
    WIN[$1]=$NEW
    await '^Game Setup$' "${NAMES[$1]}'s Game Setup"
    xdotool windowmove "${WIN[$1]}" "${COL[$1]}" "${ROW[$1]}"
    # The setup dialog opened over the window's first place, the middle of
    # the screen, where it would hide the next window's menu.
    xdotool windowmove "$FOUND" $((COL[$1] + 208)) $((ROW[$1] + 224))
}

network_game() {  # network_game I BUTTON_X: Game > Network Game, the name, Host or Join
    menu "$1" 20 53
    await '^Network Game$' "${NAMES[$1]}'s Network Game dialog"
    local dialog=$FOUND
    type_into "$dialog" 150 17 "${NAMES[$1]}"
    click "$dialog" "$2" 108
}

host() {  # Hana ticks Invite over the internet and hosts
    menu 0 20 53
    await '^Network Game$' "the host's Network Game dialog"
    local dialog=$FOUND
    type_into "$dialog" 150 17 "${NAMES[0]}"
    click "$dialog" 30 140
    click "$dialog" 40 108
    await '^Add Players$' "the Add Players dialog"
    ADD=$FOUND
    xdotool windowmove "$ADD" 185 150
}
join() {  # join I: Join, and the invitation typed into the prompt
    network_game "$1" 105
    await '^Connect to host' "${NAMES[$1]}'s prompt for the host"
    local prompt=$FOUND
    type_into "$prompt" 100 46 "$INVITATION"
    click "$prompt" 68 88
    wait_until 15 not found '^Connect to host' || fail "${NAMES[$1]} could not join"
}
shoot() {  # shoot: the whole screen into screen.png
    import -window root "$WORK/screen.png"
}

save_shots() {  # save_shots NAME: each window's part of screen.png
    for i in 0 1 2; do
        "$CONVERT" "$WORK/screen.png" -crop "640x580+${COL[$i]}+${ROW[$i]}" +repage \
            "$SHOTS/$1_${NAMES[$i]}.png"
    done
}

pixels() {  # pixels I X Y...: hex colours at window I's points of screen.png
    local I=$1 format=""
    shift
    while [ $# -gt 0 ]; do
        format+="%[hex:p{$((COL[I] + $1)),$((ROW[I] + $2))}] "
        shift 2
    done
    "$CONVERT" "$WORK/screen.png" -format "$format" info:
}

all_dealt() {  # every window shows a dealt hand: six cards, or more once the pack is run
    shoot
    for i in 0 1 2; do [ "$(bottom_cards $i)" -ge 6 ] || return 1; done
}

list_left() {  # the x of the Add Players list, 240 wide and centred: a long note widens the window
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$ADD")"
    echo $(((WIDTH - 240) / 2))
}

listed() {  # listed LINE: the Add Players list shows text on that line
    import -window "$ADD" "$WORK/add.png"
    local top=$((14 + ($1 - 1) * 20))   # lines 20 pixels apart
    [ "$("$CONVERT" "$WORK/add.png" -crop "200x14+$(($(list_left) + 10))+$top" -format '%[fx:minima.intensity<0.5]' info:)" = 1 ]
}

seat() {  # seat BUTTON_X: the first listed player onto a team
    click "$ADD" $(($(list_left) + 50)) 20
    click "$ADD" "$1" 190
}

box_over() {  # box_over TITLE I: BOX = a box of that title shown over window I
    for BOX in $(xdotool search --onlyvisible --name "^$1\$"); do
        eval "$(xdotool getwindowgeometry --shell "$BOX")"
        if [ "$X" -ge "${COL[$2]}" ] && [ "$X" -lt $((COL[$2] + 640)) ] &&
           [ "$Y" -ge "${ROW[$2]}" ] && [ "$Y" -lt $((ROW[$2] + 580)) ]; then
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

bottom_cards() {  # bottom_cards I: how many cards window I's own hand shows
    local w
    w=$("$CONVERT" "$WORK/screen.png" -crop "440x1+$((COL[$1] + 100))+$((ROW[$1] + 426))" +repage -depth 8 txt:- |
        grep -v '^#' | grep -v "#$GREEN" | cut -d: -f1 | cut -d, -f1 | sort -n | sed -n '1p;$p' | paste -sd' ' |
        awk '{ print NF ? $NF - $1 + 1 : 0 }')
    echo $((w ? (w - 71) / 20 + 1 : 0))
}
play_card() {  # play_card I: player I clicks the next card along its fan; a refused one is answered
    local n
    refused_over "$1"
    n=$(bottom_cards "$1")
    [ "$n" -gt 0 ] || return 0
    click "${WIN[$1]}" $((320 - (20 * (n - 1) + 71) / 2 + 10 + 20 * (TRY[$1] % n))) 426
    TRY[$1]=$((TRY[$1] + 1))
}
answer_boxes() {  # the boxes the game raises on the way: "OK", or "Yes" for a dealer's question
    local w
    for w in $(xdotool search --onlyvisible --name '^(Notice|Question for Dealer|Beg Accepted|Take One)$'); do
        xdotool windowfocus --sync "$w" key Return 2>/dev/null
    done
}
# A beg may run the pack, so a hand's size at the start of play is the
# most cards it was seen to hold; it has played once it shows fewer.
play_first_trick() {
    local deadline=$((SECONDS + 45)) most=(0 0 0) n i waiting
    while [ $SECONDS -lt $deadline ]; do
        answer_boxes
        shoot
        waiting=0
        for i in 0 1 2; do
            n=$(bottom_cards $i)
            [ "$n" -gt "${most[$i]}" ] && most[$i]=$n
            [ "$n" -lt "${most[$i]}" ] && continue
            waiting=1
            play_card $i
        done
        [ $waiting = 0 ] && return 0
        sleep 0.3
    done
    return 1
}
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

# --- Hana invites, Jo and Kit join with the invitation ---
start_player 0
host
copy_button_x=60 copy_button_y=387
click "$ADD" $copy_button_x $copy_button_y
invitation() { INVITATION=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$INVITATION" ]; }
wait_until 5 invitation || fail "Copy invitation put nothing on the clipboard"
[[ $INVITATION =~ ^[2-9A-HJ-NP-Z]{4}-[2-9A-HJ-NP-Z]{4}@$RELAY$ ]] || fail "the invitation reads \"$INVITATION\""
import -window "$ADD" "$SHOTS/add_players.png"
echo "invitation: $INVITATION"
start_player 1
join 1
wait_until 15 listed 1 || fail "the host does not list Jo"
seat 50    # " On my team "
wait_until 10 not listed 1 || fail "Jo stays listed after seating"
start_player 2
join 2
wait_until 15 listed 1 || fail "the host does not list Kit"
seat 195   # " On other team "
click "$ADD" 100 250   # " Computer on other team ": the last seat
wait_until 10 not found '^Add Players$' || fail "Add Players stays open with every seat filled"

# --- The first trick, each from its own window ---
wait_until 40 all_dealt || fail "not every hand was dealt"
save_shots dealt
play_first_trick || fail "not every player could play a card"

# --- Chat: Kit's line reaches Hana and, through her, Jo ---
chat_shown() {
    shoot
    for i in 0 1 2; do
        [ "$("$CONVERT" "$WORK/screen.png" -crop "300x40+$((COL[$i] + 6))+$((ROW[$i] + 508))" \
            -format '%[fx:minima.intensity<0.5]' info:)" = 1 ] || return 1
    done
}
chat_shown && fail "a chat line shows before anyone typed"
type_into "${WIN[2]}" 320 568 "good luck"
xdotool key Return
wait_until 10 chat_shown || fail "Kit's chat line does not reach every table"
save_shots chat

# --- Jo's program is killed, and Jo joins again with the invitation ---
kill -9 "${PIDS[1]}"
wait "${PIDS[1]}" 2>/dev/null
sleep 3
for i in 0 2; do
    box_over "Network error" $i && fail "${NAMES[$i]} is told the game broke, though a computer took Jo's seat"
done
shoot
save_shots jo_lost
start_player 1
join 1
caught_up() { shoot; [ "$(bottom_cards 1)" -gt 0 ]; }
wait_until 20 caught_up || fail "Jo's table does not show the game again"
save_shots caught_up
JO_CARDS=$(bottom_cards 1)
echo "Jo is back with $JO_CARDS cards"
jo_played() { [ "$(bottom_cards 1)" -lt "$JO_CARDS" ] && [ "$(bottom_cards 1)" -gt 0 ]; }
deadline=$((SECONDS + 90))
until shoot && jo_played; do
    [ $SECONDS -lt $deadline ] || fail "Jo cannot play from the rejoined table"
    found '^Network error$' && fail "a table reports a network error"
    answer_boxes
    for i in 0 1 2; do play_card $i; done
done
save_shots jo_played
echo "passed: an internet game through the relay: invited and joined by code, the first trick, chat through the host, a joiner killed and back by code"
