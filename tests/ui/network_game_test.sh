#!/bin/bash
# Four processes on this machine play the first trick of a network game, as
# four people would: one hosts, three join over 127.0.0.1 (one of them
# before the host opens its Add Players window), the host seats
# them on the two teams, and each plays a card from its own window; one
# says something in the chat; then one leaves, and
# the host's computer plays on for them; then another leaves just after a
# card, while the host's computer holds the next one for the table's pace,
# and the computer still plays it.
# Usage (inside xvfb-run, on a 1280x1160 screen so the four windows fit
# side by side): network_game_test.sh MARVANTO
# Screenshots go to $SHOT_DIR when it is set. Exit status 77: skipped,
# because another program holds port 4100.
set -u
MARVANTO=$(readlink -f "$1")
source "$(dirname "$0")/gui_driver.sh"
source "$(dirname "$0")/players_on_screen.sh"
PORT=4100                  # joiners always call the host on this port

WORK=$(mktemp -d)
SHOTS=${SHOT_DIR:-$WORK}
mkdir -p "$SHOTS"
cd "$WORK"

NAMES=(Hana Jo Kit Lee)   # the host first, then its partner
COL=(0 640 0 640)         # each window's cell of a 2x2 grid
ROW=(0 0 580 580)
PIDS=()
WINS=()
PLAYED=()
TRY=(0 0 0 0)             # the next card each player tries, from the right

start_player() {  # start_player I: a process with its own HOME, its window in cell I
    local known
    known=$(xdotool search --onlyvisible --name '^Marvanto$')
    # The small table, so that four windows fit the screen.
    mkdir -p "$WORK/home$1/.foxrc/zok"
    printf '[Display]\nCardSize=small\n' > "$WORK/home$1/.foxrc/zok/marvanto"
    # The host's computers wait the longest pace before each card.
    [ "$1" = 0 ] && printf 'Speed=Slow\n' >> "$WORK/home$1/.foxrc/zok/marvanto"
    HOME=$WORK/home$1 "$MARVANTO" &
    PIDS+=($!)
    wait_until 20 new_window "$known" || fail "${NAMES[$1]}: no window"
    WINS[$1]=$NEW
    await '^Game Setup$' "${NAMES[$1]}'s Game Setup"
    xdotool windowmove "${WINS[$1]}" "${COL[$1]}" "${ROW[$1]}"
    # The setup dialog opened over the window's first place, the middle of
    # the screen, where it would hide the next window's menu.
    xdotool windowmove "$FOUND" $((COL[$1] + 208)) $((ROW[$1] + 224))
}

host() {
    open_network_game 0 40
    await '^Add Players$' "the Add Players dialog"
    ADD=$FOUND
    # It opens in the middle of the screen; the host's own table is free.
    xdotool windowmove "$ADD" 185 150
}

join() {  # join I
    open_network_game "$1" 105
    await '^Connect to host' "${NAMES[$1]}'s prompt for the host"
    local prompt=$FOUND
    type_into "$prompt" 100 46 127.0.0.1
    click "$prompt" 68 88
    wait_until 10 not found '^Connect to host' || fail "${NAMES[$1]} could not join"
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

fan() {  # fan I: 6 or 5 when window I's bottom hand shows that many cards
    # Points inside the six-card fan's ends and inside the five-card fan's
    # ends, in the middle of the cards' height (the canvas starts at y 24).
    local p=($(pixels "$1" 237 426 247 426 392 426 402 426))
    if [ "${p[0]}" != $GREEN ] && [ "${p[3]}" != $GREEN ]; then
        echo 6
    elif [ "${p[0]}" = $GREEN ] && [ "${p[1]}" != $GREEN ] && [ "${p[2]}" != $GREEN ] && [ "${p[3]}" = $GREEN ]; then
        echo 5
    fi
}

all_fans() {  # all_fans N: every window shows N cards in its hand
    shoot_screen
    for i in 0 1 2 3; do [ "$(fan $i)" = "$1" ] || return 1; done
}

listed() {  # listed LINE: the Add Players list shows text on that line
    import -window "$ADD" "$WORK/add.png"
    local top=$((14 + ($1 - 1) * 20))   # lines 20 pixels apart
    [ "$("$CONVERT" "$WORK/add.png" -crop "200x14+20+$top" -format '%[fx:minima.intensity<0.5]' info:)" = 1 ]
}

seat() {  # seat BUTTON_X: the first listed player onto a team
    click "$ADD" 60 20
    click "$ADD" "$1" 190
}

try_cards() {  # try_cards I: player I clicks cards, right to left, until one is not refused
    # The six-card fan: the last card's middle, then the strips left uncovered.
    local card_x=(369 324 304 284 264 244)
    while [ "${TRY[$1]}" -lt 6 ]; do
        click "${WINS[$1]}" "${card_x[${TRY[$1]}]}" 426
        sleep 0.3
        # A refused card: the next one to its left. An accepted click, or
        # one made out of turn, leaves no box.
        refused_over "$1" || return 0
        TRY[$1]=$((TRY[$1] + 1))
    done
}

play_first_trick() {
    local deadline=$((SECONDS + 45))
    while [ $SECONDS -lt $deadline ]; do
        shoot_screen
        local waiting=0
        for i in 0 1 2 3; do
            [ -n "${PLAYED[$i]:-}" ] && continue
            if [ "$(fan $i)" = 5 ]; then
                PLAYED[$i]=1
            else
                waiting=1
                try_cards "$i"
            fi
        done
        [ $waiting = 0 ] && return 0
    done
    return 1
}

trick_slots() {  # trick_slots I: the middles of window I's four trick slots
    pixels "$1" 319 307 319 201 238 249 400 249   # bottom, top, left, right
}

trick_cleared() {
    shoot_screen
    for i in 0 1 2 3; do
        [ "$(trick_slots $i)" = "$GREEN $GREEN $GREEN $GREEN " ] || return 1
    done
}

tricks_shown() {
    shoot_screen
    for i in 0 1 2 3; do
        [[ " $(trick_slots $i)" != *" $GREEN "* ]] || return 1
    done
}

card_at() {  # card_at I X Y: a digest of the card picture at window I's canvas point
    "$CONVERT" "$WORK/screen.png" -crop "71x96+$((COL[$1] + $2))+$((ROW[$1] + 24 + $3))" +repage -format '%#\n' info:
}

cleanup() {
    # The joiners go first; the host quits by its own command, and must
    # end with status 0 for that.
    local pid
    for pid in "${PIDS[@]:1}"; do
        kill "$pid" 2>/dev/null
        wait "$pid"
    done
    if [ ${#PIDS[@]} -gt 0 ]; then
        xdotool windowfocus --sync "${WINS[0]}" key ctrl+q 2>/dev/null
        wait_until 5 not alive "${PIDS[0]}" || kill "${PIDS[0]}"
        wait "${PIDS[0]}"
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# --- Everyone at the table ---
wait_until 30 not port_taken ||
    { echo "SKIPPED: port $PORT is in use, and joiners can only reach a host there"; exit 77; }
start_player 0
wait_until 10 port_taken || fail "the host does not listen"
[ "$(port_owner)" = "${PIDS[0]}" ] ||
    { echo "SKIPPED: another program took port $PORT first"; exit 77; }
# Jo joins before the host has opened Add Players: Jo is listed when it opens.
start_player 1
join 1
host
wait_until 10 listed 1 || fail "the host does not list ${NAMES[1]}, who joined before Add Players opened"
for i in 2 3; do
    start_player $i
    join $i
    wait_until 10 listed $i || fail "the host does not list ${NAMES[$i]}"
done
seat 50    # " On my team "
wait_until 10 not listed 3 || fail "${NAMES[1]} stays listed after seating"
seat 195   # " On other team "
wait_until 10 not listed 2 || fail "${NAMES[2]} stays listed after seating"
seat 195
wait_until 10 not found '^Add Players$' || fail "Add Players stays open with every seat filled"

# --- The first trick ---
wait_until 30 all_fans 6 || fail "not every hand was dealt six cards"
save_shots dealt
play_first_trick || fail "not every player could play a card"
wait_until 20 trick_cleared || fail "the finished trick stays on the table"

# Display > Last Trick: every table shows the same four cards, each with its
# own player's card at the bottom and the partner's at the top.
for i in 0 1 2 3; do menu_item $i 80 33; done
wait_until 10 tricks_shown || fail "Last Trick shows no trick"
save_shots last_trick
bottom=() top=()
for i in 0 1 2 3; do
    bottom[$i]=$(card_at $i 284 235)
    top[$i]=$(card_at $i 284 129)
    trick=$(for slot in "284 235" "284 129" "203 177" "365 177"; do card_at $i $slot; done | sort)
    [ $i = 0 ] && first_trick=$trick && hana_right=$(card_at 0 365 177)
    [ "$trick" = "$first_trick" ] || fail "${NAMES[$i]}'s last trick differs from ${NAMES[0]}'s"
done
[ "$(printf '%s\n' "${bottom[@]}" | sort -u | wc -l)" = 4 ] ||
    fail "two tables show the same player at the bottom"
for i in 0 1 2 3; do
    partner=$((i ^ 1))   # Hana with Jo, Kit with Lee
    [ "${top[$i]}" = "${bottom[$partner]}" ] || fail "${NAMES[$i]}'s partner is not ${NAMES[$partner]}"
done

# --- Chat ---
# Hana types a line in the entry along the bottom of her window; every
# table shows it above its own entry.
POS_X=(319 319 238 400)   # the trick slots' middles: bottom, top, left, right
POS_Y=(307 201 249 249)
# Lee is on Hana's right when Hana's last trick shows Lee's card there.
[ "$hana_right" = "${bottom[3]}" ] && lee_pos=3 || lee_pos=2

chat_shown() {
    shoot_screen
    for i in 0 1 2 3; do
        [ "$("$CONVERT" "$WORK/screen.png" -crop "300x40+$((COL[$i] + 6))+$((ROW[$i] + 508))" \
            -format '%[fx:minima.intensity<0.5]' info:)" = 1 ] || return 1
    done
}
chat_shown && fail "a chat line shows before anyone typed"
type_into "${WINS[0]}" 320 568 "good luck"
xdotool key Return
wait_until 10 chat_shown || fail "Hana's chat line does not reach every table"
save_shots chat

# --- A player leaves ---
# Lee's program ends mid-game: the host's computer takes Lee's seat, so no
# table reports a broken game.
kill "${PIDS[3]}"
wait "${PIDS[3]}"
sleep 5
for i in 0 1 2; do
    box_over "Network error" $i && fail "${NAMES[$i]} is told the game broke, though a computer took Lee's seat"
done
shoot_screen
save_shots lost_player

# --- Another leaves while the host's computer waits ---
# Play runs from each player to the one on their right, so Hana plays just
# before Lee when Lee sits on her right, else Jo does. Just after that card
# a joiner's program ends (Kit, or Jo who played it) while the host's
# computer holds Lee's card for the pace: the computer plays it all the same.
person_at=(0 1 2 2)          # who sits at each of Hana's positions
person_at[$lee_pos]=3
if [ $lee_pos = 3 ]; then before=0 victim=2; else before=1 victim=1; fi

turn_at() {  # turn_at P: Hana's table frames the slot at position P as the next to play
    [ "$(pixels 0 $((POS_X[$1] - 37)) "${POS_Y[$1]}")" = "FFDC00 " ]
}
slot_empty() {  # slot_empty P: no card in Hana's slot at position P
    [ "$(pixels 0 "${POS_X[$1]}" "${POS_Y[$1]}")" = "$GREEN " ]
}
hand_span() {  # hand_span I: START (left edge) and COUNT of window I's hand in screen.png
    local args=() x k first=-1 last=-1
    for x in $(seq 225 5 415); do args+=("$x" 426); done
    local p=($(pixels "$1" "${args[@]}"))
    for k in "${!p[@]}"; do
        [ "${p[$k]}" != $GREEN ] || continue
        [ $first -ge 0 ] || first=$k
        last=$k
    done
    [ $first -ge 0 ] || return 1
    START=$((225 + first * 5))
    COUNT=$(( (last * 5 - first * 5 + 1 - 71 + 10) / 20 + 1 ))
}
play_one() {  # play_one I: player I plays the rightmost card the rules let go
    shoot_screen
    hand_span "$1" || return 1
    local xs=($((START + (COUNT - 1) * 20 + 35))) k x
    for ((k = COUNT - 2; k >= 0; k--)); do xs+=($((START + 10 + k * 20))); done
    for x in "${xs[@]}"; do
        click "${WINS[$1]}" "$x" 426
        sleep 0.3
        refused_over "$1" || return 0
    done
    return 1
}
lee_played() { shoot_screen; not slot_empty "$lee_pos"; }

killed=0
deadline=$((SECONDS + 90))
while [ $killed = 0 ] && [ $SECONDS -lt $deadline ]; do
    shoot_screen
    who=""
    for p in 0 1 2 3; do turn_at $p && who=${person_at[$p]} && break; done
    if [ -z "$who" ] || [ "$who" = 3 ]; then
        sleep 0.3   # between tricks, or the computer's own turn
        continue
    fi
    if [ "$who" = $before ] && slot_empty "$lee_pos"; then
        play_one "$who" || fail "${NAMES[$who]} could not play a card"
        kill "${PIDS[$victim]}"
        killed=1
    else
        play_one "$who" || fail "${NAMES[$who]} could not play a card"
        sleep 0.5
    fi
done
[ $killed = 1 ] || fail "${NAMES[$before]} never played just before Lee"
wait "${PIDS[$victim]}"
wait_until 20 lee_played || fail "the host's computer never played Lee's card after ${NAMES[$victim]} left"
shoot_screen
save_shots played_on
echo "passed: four players seated, one trick played, a chat line on every table, a lost player's seat taken over," \
    "and the computer played on when another player left while its card waited"
