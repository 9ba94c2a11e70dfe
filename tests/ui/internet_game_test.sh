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
source "$(dirname "$0")/gui_driver.sh"
source "$(dirname "$0")/players_on_screen.sh"
WORK=$(mktemp -d)
SHOTS=${SHOT_DIR:-$WORK}
mkdir -p "$SHOTS"
cd "$WORK"

NAMES=(Hana Jo Kit)       # the host first, then its partner
COL=(0 640 0)             # each window's cell of a 2x2 grid
ROW=(0 0 580)
PIDS=()
WINS=()
TRY=(0 0 0)               # the next card along its fan each player tries

start_player() {  # start_player I: a process with its own HOME, its window in cell I
    local known
    known=$(xdotool search --onlyvisible --name '^Marvanto$')
    # The small table, so that four windows fit the screen.
    mkdir -p "$WORK/home$1/.foxrc/zok"
    printf '[Display]\nCardSize=small\nSpeed=Fast\n[SETTINGS]\nrelay=%s\n' "$RELAY" > "$WORK/home$1/.foxrc/zok/marvanto"
    HOME=$WORK/home$1 "$MARVANTO" &
    PIDS[$1]=$!
    wait_until 20 new_window "$known" || fail "${NAMES[$1]}: no window"
    WINS[$1]=$NEW
    await '^Game Setup$' "${NAMES[$1]}'s Game Setup"
    xdotool windowmove "${WINS[$1]}" "${COL[$1]}" "${ROW[$1]}"
    # The setup dialog opened over the window's first place, the middle of
    # the screen, where it would hide the next window's menu.
    xdotool windowmove "$FOUND" $((COL[$1] + 208)) $((ROW[$1] + 224))
}

host() {  # Hana ticks Invite over the internet and hosts
    menu_item 0 20 53
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
    open_network_game "$1" 105
    await '^Connect to host' "${NAMES[$1]}'s prompt for the host"
    local prompt=$FOUND
    type_into "$prompt" 100 46 "$INVITATION"
    click "$prompt" 68 88
    wait_until 15 not found '^Connect to host' || fail "${NAMES[$1]} could not join"
}
all_dealt() {  # every window shows a dealt hand: six cards, or more once the pack is run
    shoot_screen
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

# A beg may run the pack, so a hand's size at the start of play is the
# most cards it was seen to hold; it has played once it shows fewer.
play_first_trick() {
    local deadline=$((SECONDS + 45)) most=(0 0 0) n i waiting
    while [ $SECONDS -lt $deadline ]; do
        answer_game_boxes
        shoot_screen
        waiting=0
        for i in 0 1 2; do
            n=$(bottom_cards $i)
            [ "$n" -gt "${most[$i]}" ] && most[$i]=$n
            [ "$n" -lt "${most[$i]}" ] && continue
            waiting=1
            refused_over $i
            next_card $i
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
    shoot_screen
    for i in 0 1 2; do
        [ "$("$CONVERT" "$WORK/screen.png" -crop "300x40+$((COL[$i] + 6))+$((ROW[$i] + 508))" \
            -format '%[fx:minima.intensity<0.5]' info:)" = 1 ] || return 1
    done
}
chat_shown && fail "a chat line shows before anyone typed"
type_into "${WINS[2]}" 320 568 "good luck"
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
shoot_screen
save_shots jo_lost
start_player 1
join 1
caught_up() { shoot_screen; [ "$(bottom_cards 1)" -gt 0 ]; }
wait_until 20 caught_up || fail "Jo's table does not show the game again"
save_shots caught_up
JO_CARDS=$(bottom_cards 1)
echo "Jo is back with $JO_CARDS cards"
jo_played() { [ "$(bottom_cards 1)" -lt "$JO_CARDS" ] && [ "$(bottom_cards 1)" -gt 0 ]; }
deadline=$((SECONDS + 90))
until shoot_screen && jo_played; do
    [ $SECONDS -lt $deadline ] || fail "Jo cannot play from the rejoined table"
    found '^Network error$' && fail "a table reports a network error"
    answer_game_boxes
    for i in 0 1 2; do refused_over $i; next_card $i; done
done
save_shots jo_played
echo "passed: an internet game through the relay: invited and joined by code, the first trick, chat through the host, a joiner killed and back by code"
