#!/bin/bash
# Two programs on this machine play a two-handed network game over
# 127.0.0.1: Hana hosts, Jo joins. Jo's program is killed mid-game; the
# host's table says Jo left and a computer plays on in Jo's seat, and the
# game goes on. Jo starts the program again, joins the same host under the
# same name, catches up and gets the seat back; the two play the game to its
# end, to a target of 7.
# Usage (inside xvfb-run, on a 1760x720 screen so the two windows and the
# boxes beside their tables fit side by side): rejoin_test.sh MARVANTO
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
cd "$WORK" || exit 1

NAMES=(Hana Jo)
COL=(0 880)               # each window's place, with room between for boxes
PIDS=()
WINS=()

start_player() {  # start_player I: player I's program, with its own HOME, in its place
    local known
    known=$(xdotool search --onlyvisible --name '^Marvanto$')
    HOME=$WORK/home$1 "$MARVANTO" &
    PIDS[$1]=$!
    wait_until 20 new_window "$known" || fail "${NAMES[$1]}: no window"
    WINS[$1]=$NEW
    await '^Game Setup$' "${NAMES[$1]}'s Game Setup"
    xdotool windowmove "${WINS[$1]}" "${COL[$1]}" 0
    # Out of the way of the other window.
    xdotool windowmove "$FOUND" $((COL[$1] + 208)) 600
}

network_game() {  # network_game I: Game > Network Game by keys, and the name typed
    WIN=${WINS[$1]}
    menu g 2
    await '^Network Game$' "${NAMES[$1]}'s Network Game dialog"
    DIALOG=$FOUND
    type_into "$DIALOG" 150 17 "${NAMES[$1]}"
}

press() {  # press WINDOW X Y TITLE: clicks a button until a window of that title shows
    local deadline=$((SECONDS + 15))
    while [ $SECONDS -lt $deadline ]; do
        click "$1" "$2" "$3"
        wait_until 2 found "$4" && return 0
    done
    return 1
}

partner_shown() {  # partner_shown: the Network Game dialog shows "Partner:"
    import -window "$DIALOG" "$WORK/dialog.png"
    [ "$("$CONVERT" "$WORK/dialog.png" -crop "50x14+50+42" -format '%[fx:minima.intensity<0.5]' info:)" = 1 ]
}

host() {  # Hana hosts a two-handed game
    network_game 0
    # Duvanto: two players, one at each machine; the partner's field goes.
    click "$DIALOG" 48 78
    wait_until 5 not partner_shown || { click "$DIALOG" 48 78; wait_until 5 not partner_shown; } ||
        fail "Duvanto is not ticked"
    press "$DIALOG" 40 108 '^Add Players$' || fail "the Add Players dialog did not appear"
    ADD=$FOUND
    xdotool windowmove "$ADD" 185 150
}

join() {  # join I
    network_game "$1"
    press "$DIALOG" 105 108 '^Connect to host' || fail "${NAMES[$1]}'s prompt for the host did not appear"
    local prompt=$FOUND
    type_into "$prompt" 100 46 127.0.0.1
    click "$prompt" 68 88
    wait_until 10 not found '^Connect to host' || fail "${NAMES[$1]} could not join"
}

listed() {  # listed: the Add Players list shows a joiner on its first line
    import -window "$ADD" "$WORK/add.png"
    [ "$("$CONVERT" "$WORK/add.png" -crop "200x14+20+14" -format '%[fx:minima.intensity<0.5]' info:)" = 1 ]
}

# The names are drawn in white, or in yellow for the one to play; a name
# grows by " (dealer)" and by " (computer)" while a computer plays for it.
# In a two-handed game one of the two deals, so the widths of the two names
# add up to one figure while people play both seats, and to a larger one
# while a computer plays either.
NAME_COLOURS=(-e '#FFFFFF' -e '#FFDC00')
names_width() {  # names_width I: the bottom name's width and the left one's, added
    local bottom left
    bottom=$(coords "440x15$(at "$1" 100 358)" 1 "${NAME_COLOURS[@]}" | span)
    left=$(coords "300x20$(at "$1" 0 145)" 1 "${NAME_COLOURS[@]}" | span)
    echo $((bottom + left))
}

to_play() {  # to_play I POSITION: window I marks the player at bottom or left to play
    case $2 in
    bottom) coords "440x15$(at "$1" 100 358)" 1 -e '#FFDC00' | grep -q . ;;
    left) coords "300x20$(at "$1" 0 145)" 1 -e '#FFDC00' | grep -q . ;;
    esac
}

left_cards() {  # left_cards I: how many cards the hand on window I's left shows
    local h
    h=$(coords "1x300$(at "$1" 55 166)" 2 -v "#$GREEN" | span)
    echo $((h ? (h - 96) / 19 + 1 : 0))
}

banner_width() {  # banner_width I: the width of a red banner across window I's table
    coords "620x60$(at "$1" 10 140)" 1 '#F00A28' | span
}

cleanup() {
    local i
    for i in 1 0; do
        [ -n "${PIDS[$i]:-}" ] && alive "${PIDS[$i]}" && kill "${PIDS[$i]}" && wait "${PIDS[$i]}"
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

# --- Hana hosts, Jo joins ---
wait_until 30 not port_taken ||
    { echo "SKIPPED: port $PORT is in use, and joiners can only reach a host there"; exit 77; }
for i in 0 1; do
    # The small table, so that the windows fit side by side; the computer's
    # fast pace; a short game. Jo's settings are kept for the restart.
    mkdir -p "$WORK/home$i/.foxrc/zok"
    printf '[Display]\nCardSize=small\nSpeed=Fast\n[Rules]\ntarget=7\n' > "$WORK/home$i/.foxrc/zok/marvanto"
done
start_player 0
wait_until 10 port_taken || fail "the host does not listen"
[ "$(port_owner)" = "${PIDS[0]}" ] ||
    { echo "SKIPPED: another program took port $PORT first"; exit 77; }
host
start_player 1
join 1
wait_until 10 listed || fail "the host does not list Jo"
click "$ADD" 60 20
click "$ADD" 195 190       # " On other team ": the last seat
wait_until 10 not found '^Add Players$' || fail "Add Players stays open with both seats filled"

# --- Playing ---
# The round summaries stay: the next round's first card closes them, and
# the last one shows how the game ended.
TRY=(0 0)   # where each player clicks next along the bottom hand

play() {  # play I...: the players of windows I that are to play click a card each
    local i
    answer_game_boxes
    found '^Network error$' && fail "a table reports a network error"
    for i; do
        to_play "$i" bottom && next_card "$i"
    done
}

play_on_until() {  # play_on_until SECONDS CONDITION "I..."
    local deadline=$((SECONDS + $1))
    while [ $SECONDS -lt $deadline ]; do
        shoot_screen
        $2 && return 0
        play $3
    done
    return 1
}

near() {  # near A B: two widths of text within a few pixels
    local d=$(($1 - $2))
    [ ${d#-} -le 4 ]
}

# --- Mid-game: two of Hana's cards played, Hana to play ---
midgame() {
    local n
    n=$(bottom_cards 0)
    [ "$n" -ge 1 ] && [ "$n" -le 4 ] && to_play 0 bottom
}
play_on_until 60 midgame "0 1" || fail "the first tricks were not played"
PEOPLE=$(names_width 0)      # the names' width while people play both seats
JO_CARDS=$(left_cards 0)
save_shots before_kill
echo "before the kill: names $PEOPLE wide, Jo holds $JO_CARDS cards"

# --- Jo's program is killed: the host's computer plays on for Jo ---
kill -9 "${PIDS[1]}"
wait "${PIDS[1]}" 2>/dev/null
left_said() { shoot_screen; [ "$(banner_width 0)" -gt 300 ]; }
wait_until 10 left_said || fail "the host's table does not say that Jo left"
save_shots after_kill
cp "$SHOTS/after_kill_Hana.png" "$SHOTS/host_after_kill.png"
found '^Network error$' && fail "the host reports a network error"
echo "after the kill: banner $(banner_width 0) wide, names $(names_width 0) wide"
[ "$(names_width 0)" -ge $((PEOPLE + 40)) ] || fail "the host's table does not name a computer in Jo's seat"
jo_played() { [ "$(left_cards 0)" -lt "$JO_CARDS" ]; }
play_on_until 30 jo_played 0 || fail "nobody plays Jo's cards at the host"
save_shots played_on

# --- Jo starts the program again and joins the same host as Jo ---
start_player 1
join 1
digest() {  # digest WxH+X+Y: a digest of that part of screen.png
    "$CONVERT" "$WORK/screen.png" -crop "$1" +repage -format '%#' info:
}
score_text() {  # score_text I X WIDTH: window I's score label in that part of the top bar, cut to its text's width
    local crop box x
    crop="$3x20$(at "$1" "$2" 2)"
    box=$("$CONVERT" "$WORK/screen.png" -crop "$crop" +repage -format '%@' info:)   # WxH+X+Y
    x=${box#*+}
    "$CONVERT" "$WORK/screen.png" -crop "$crop" +repage -crop "${box%%x*}x20+${x%%+*}+0" +repage "$WORK/score_$1_$2.png"
    echo "$WORK/score_$1_$2.png"
}
same_score() {  # same_score A B: label picture B ends with label picture A ("Score: N")
    local width
    width=$("$CONVERT" "$1" -format '%w' info:)
    [ "$("$CONVERT" "$1" -format '%#' info:)" = "$("$CONVERT" "$2" -gravity east -crop "${width}x+0+0" +repage -format '%#' info:)" ]
}
# Each table shows the other's own hand on its left, the same flipped card,
# and as its opponent's score the other's own.
caught_up() {
    [ "$(bottom_cards 1)" -gt 0 ] &&
        [ "$(bottom_cards 1)" = "$(left_cards 0)" ] && [ "$(left_cards 1)" = "$(bottom_cards 0)" ] &&
        [ "$(digest "71x96$(at 0 55 48)")" = "$(digest "71x96$(at 1 55 48)")" ] &&
        same_score "$(score_text 0 160 88)" "$(score_text 1 362 170)" &&
        same_score "$(score_text 1 160 88)" "$(score_text 0 362 170)"
}
shoot_until() { shoot_screen; "$@"; }
wait_until 20 shoot_until caught_up || fail "Jo's table does not catch up with the host's"
save_shots caught_up
echo "caught up: Jo holds $(bottom_cards 1) cards, Hana $(bottom_cards 0)"

# Jo's seat comes back at Jo's next turn: no computer is named any more,
# and both tables wait for Jo.
jo_back() {
    near "$(names_width 0)" "$PEOPLE" && near "$(names_width 1)" "$PEOPLE" && to_play 0 left && to_play 1 bottom
}
play_on_until 30 jo_back 0 || fail "Jo's seat does not come back to Jo"
save_shots rejoined
cp "$SHOTS/rejoined_Jo.png" "$SHOTS/rejoined_table.png"
JO_CARDS=$(left_cards 0)
sleep 2
shoot_screen
[ "$(left_cards 0)" = "$JO_CARDS" ] || fail "a computer still plays for Jo"
jo_played() { [ "$(left_cards 0)" -lt "$JO_CARDS" ] || [ "$(bottom_cards 0)" -gt "$(bottom_cards 1)" ]; }
play_on_until 30 jo_played 1 || fail "Jo cannot play from the rejoined table"

# --- The game to its end ---
# A network game's end says who won on every table, beside the last round's
# summary, and the session is over: the chat bar closes.
chat_closed() {  # chat_closed I
    [ "$("$CONVERT" "$WORK/screen.png" -format "%[hex:p{$((COL[$1] + 320)),566}]" info:)" != FFFFFF ]
}
box_by() {  # box_by TITLE I: BOX = a window of that title shown over window I or beside it
    local X Y WIDTH HEIGHT SCREEN WINDOW
    for BOX in $(xdotool search --onlyvisible --name "^$1\$"); do
        eval "$(xdotool getwindowgeometry --shell "$BOX")"
        [ "$X" -ge "${COL[$2]}" ] && [ "$X" -lt $((COL[$2] + 880)) ] && return 0
    done
    return 1
}
ended() {  # ended I: window I says the game is over
    box_by "Game over" "$1" && box_by "Round summary" "$1" && chat_closed "$1"
}
game_over() { ended 0 && ended 1; }
play_on_until 240 game_over "0 1" || fail "the game does not reach its end on both tables"
shoot_screen
save_shots end
cp "$WORK/screen.png" "$SHOTS/end_screen.png"
# The scores stand until the box is answered: each table's own is the
# other's opponent's. Both summaries of the last round are the same.
same_score "$(score_text 0 160 88)" "$(score_text 1 362 170)" &&
    same_score "$(score_text 1 160 88)" "$(score_text 0 362 170)" || fail "the tables end with different scores"
for i in 0 1; do
    box_by "Round summary" $i && import -window "$BOX" "$WORK/summary$i.png"
done
[ "$(compare -metric AE "$WORK/summary0.png" "$WORK/summary1.png" null: 2>&1)" = 0 ] ||
    fail "the last round's summaries differ"
for i in 0 1; do
    box_by "Game over" $i && xdotool windowfocus --sync "$BOX" key Return
done
wait_until 5 not found '^Game over$' || fail "the result box does not close"
found '^Network error$' && fail "a table reports a network error at the end"
echo "passed: Jo's program killed mid-game, the host's computer played on for Jo, Jo joined again, caught up, got the seat back and played the game to its end"
