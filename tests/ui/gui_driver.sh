# Driving the real program under Xvfb as a person would: windows found by
# their titles, mouse clicks, keys, and screenshots. Sourced by the GUI test
# scripts and tools/screenshot.sh; needs xdotool and ImageMagick.
#
# With no window manager, FOX windows sit where the program places them,
# undecorated; keys reach a window only after `windowfocus --sync`.

CONVERT=/usr/bin/convert   # `convert` may be shadowed by a stand-in
# The table's size in halves (2 small, 3 medium, 4 large): distances on the
# table given at the small size grow with it.
TABLE_HALVES=${TABLE_HALVES:-2}
px() { echo $(($1 * TABLE_HALVES / 2)); }
passed=0
failed=0

check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

summary() {  # the last line of a test script: its counts and its status
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# A clean settings folder, and an empty working folder to start the
# program from: it must not depend on where it is started.
make_workspace() {
    WORK=$(mktemp -d)
    trap 'stop_program; rm -rf "$WORK"' EXIT
    export HOME=$WORK/home
    # Game records go under this HOME too, never into the user's.
    export XDG_DATA_HOME=$HOME/.local/share
    REGISTRY=$HOME/.foxrc/zok/marvanto
    mkdir -p "$HOME" "$WORK/run" "$(dirname "$REGISTRY")"
    # The computers at the pace the tests were written for; a test of the
    # speeds writes its own.
    printf '[Display]\nSpeed=Fast\n' > "$REGISTRY"
    cd "$WORK/run" || exit 1
}

wait_until() {  # wait_until SECONDS COMMAND...: polls until COMMAND succeeds
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
not() { ! "$@"; }

visible_window() {  # visible_window TITLE -> its id, or nothing
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1
}

wait_window() {  # wait_window TITLE [SECONDS] -> its id once visible
    local deadline=$((SECONDS + ${2:-20})) w
    while [ $SECONDS -lt $deadline ]; do
        w=$(visible_window "$1")
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

shows() {  # shows TITLE [SECONDS]: a window of that title becomes visible
    wait_window "$1" "${2:-5}" > /dev/null
}

wait_gone() {  # wait_gone TITLE [SECONDS]
    local deadline=$((SECONDS + ${2:-10}))
    while [ $SECONDS -lt $deadline ]; do
        [ -z "$(visible_window "$1")" ] && return 0
        sleep 0.1
    done
    return 1
}

start_program() {  # sets PID and WIN
    "$MARVANTO" &
    PID=$!
    WIN=$(wait_window Marvanto 20)
    [ -n "$WIN" ] || { echo "FAILED: no window"; exit 1; }
    sleep 0.3
}

stop_program() {  # for the EXIT trap: a program left running is killed
    if [ -n "${PID:-}" ] && kill -0 "$PID" 2>/dev/null; then kill "$PID"; fi
}

exits_cleanly() {  # the program ends within 10 s with status 0
    for _ in $(seq 100); do
        if ! kill -0 "$PID" 2>/dev/null; then
            wait "$PID"
            local status=$?
            [ $status -eq 0 ] || echo "  exit status $status"
            PID=
            return $status
        fi
        sleep 0.1
    done
    echo "  still running"
    return 1
}

click_in() {  # click_in WINDOW X Y (window coordinates)
    xdotool mousemove --window "$1" "$2" "$3" click 1 2>/dev/null
}

keys_to() {  # keys_to WINDOW KEY...
    local w=$1
    shift
    xdotool windowfocus --sync "$w" 2>/dev/null && xdotool key --delay 50 "$@" 2>/dev/null
}

type_into() {  # type_into WINDOW X Y TEXT: click a text field, then type
    xdotool windowfocus --sync "$1" 2>/dev/null
    click_in "$1" "$2" "$3"
    sleep 0.2
    xdotool type --delay 20 "$4"
}

# Menus by keyboard: Alt and the title's letter, Down to the entry, Return.
menu() {  # menu LETTER DOWNS [KEYS...]
    local letter=$1 downs=$2
    shift 2
    local steps=()
    for _ in $(seq "$downs"); do steps+=(Down); done
    keys_to "$WIN" "alt+$letter" "${steps[@]}" "$@" Return
}

shoot() {  # shoot NAME: the screen over the main window, in its coordinates
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    import -window root "$WORK/screen.png"
    "$CONVERT" "$WORK/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$WORK/$1.png"
    [ -n "${SHOT_DIR:-}" ] && cp "$WORK/$1.png" "$SHOT_DIR/$1.png"
    return 0
}

pixel() {  # pixel PNG X Y -> "r g b"
    "$CONVERT" "$1" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]' info:
}

near() {  # near "r g b" "r g b" TOLERANCE
    local a=($1) b=($2)
    for i in 0 1 2; do
        local d=$((a[i] - b[i]))
        [ ${d#-} -le "$3" ] || { echo "  got ($1), expected ($2)"; return 1; }
    done
}

colour_count() {  # colour_count PNG WxH+X+Y HEX -> pixels of exactly that colour
    "$CONVERT" "$1" -crop "$2" -depth 8 txt:- | grep -ci "$3"
}

# The setup dialog as it opens: a name typed into its field, then
# " Start Game " (its place in the dialog is fixed).
start_local_game() {  # start_local_game NAME
    local setup
    setup=$(wait_window "Game Setup" 20) || { echo "FAILED: no Game Setup dialog"; return 1; }
    type_into "$setup" 150 18 "$1"
    click_in "$setup" 70 140
}

# Every box the game raises on the way is answered with Return: "OK" for
# notices and refusals, "Yes" for the dealer's question; a round summary is
# closed the same way.
answer_boxes() {  # answer_boxes [TITLE TO KEEP]
    local w name
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        name=$(xdotool getwindowname "$w" 2>/dev/null)
        [ "$name" = Marvanto ] || [ "$name" = "${1:-}" ] && continue
        keys_to "$w" Return
        sleep 0.1
    done
}

# Ctrl+Q reaches the main window only while no box is up: a game going on
# may raise one at any moment, so answer and try again.
quit_by_keys() {
    for _ in $(seq 20); do
        answer_boxes
        keys_to "$WIN" ctrl+q
        sleep 0.5
        kill -0 "$PID" 2>/dev/null || return 0
    done
}

# Plays the bottom hand until a window titled TITLE shows: one click per
# step, walking across the hand, so a refused card is followed by the next.
# Clicks out of turn change nothing.
play_until() {  # play_until TITLE SECONDS
    local deadline=$((SECONDS + $2)) i=0 X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    # The bottom hand's middle row, under the top bar, with the table
    # centred in the window; a fan of up to 12 cards spans the middle 300
    # pixels (at the small size).
    local y=$((HEIGHT / 2 + $(px 136))) left=$((WIDTH / 2 - $(px 150))) step
    step=$(px 20)
    while [ $SECONDS -lt $deadline ]; do
        [ -n "$(visible_window "$1")" ] && return 0
        answer_boxes "$1"
        click_in "$WIN" $((left + step * (i % 16))) "$y"
        i=$((i + 1))
        sleep 0.2
    done
    echo "  no \"$1\" within $2 s"
    return 1
}
