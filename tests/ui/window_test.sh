#!/bin/bash
# The real program under Xvfb: its window, menus, labels, table colours and
# banner, a background picture from the settings, and both ways out.
# Usage (inside xvfb-run): window_test.sh MARVANTO X11_PROBE BANNER_JPG
set -u
MARVANTO=$(readlink -f "$1")
PROBE=$(readlink -f "$2")
BANNER=$(readlink -f "$3")
CONVERT=/usr/bin/convert   # `convert` may be shadowed by a stand-in

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home
mkdir -p "$HOME" "$WORK/run"
# From an empty folder the default background picture is missing.
cd "$WORK/run"

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

start() {
    "$MARVANTO" &
    PID=$!
    WIN=$(timeout 20 xdotool search --sync --name '^Marvanto$' | head -1)
    [ -n "$WIN" ] || { echo "FAILED: no window"; exit 1; }
    sleep 0.5
}

shoot() {  # shoot NAME: the screen over the window, in its coordinates
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    import -window root "$WORK/screen.png"
    "$CONVERT" "$WORK/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$WORK/$1.png"
    cp "$WORK/$1.png" "${SHOT_DIR:-$WORK}/$1.png" 2>/dev/null || true
}

exits_cleanly() {  # the program ends within 10 s with status 0
    for _ in $(seq 100); do
        if ! kill -0 "$PID" 2>/dev/null; then
            wait "$PID"
            local status=$?
            [ $status -eq 0 ] || echo "  exit status $status"
            return $status
        fi
        sleep 0.1
    done
    kill "$PID"
    echo "  still running"
    return 1
}

# Canvas point (x, y) lies 24 pixels lower in the window, under the top bar.
GREEN="0 120 50"
BLACK="0 0 0"

# --- The window as it starts, with the solid cloth ---
start
geometry=$(xdotool getwindowgeometry "$WIN" | grep Geometry | awk '{print $2}')
check "window is 640x580" [ "$geometry" = "640x580" ]
shoot start
check "solid cloth on the table" near "$(pixel "$WORK/start.png" 320 224)" "$GREEN" 0
check "solid cloth at the bottom of the table" near "$(pixel "$WORK/start.png" 600 483)" "$GREEN" 0
check "banner strip below the table" near "$(pixel "$WORK/start.png" 100 494)" "$(pixel "$BANNER" 100 10)" 2
check "banner strip to its right edge" near "$(pixel "$WORK/start.png" 630 570)" "$(pixel "$BANNER" 630 86)" 2
check "menu bar in the base colour" near "$(pixel "$WORK/start.png" 150 12)" "206 206 204" 0
check "score label in red" [ "$(colour_count "$WORK/start.png" 80x24+165+0 '#EB0000')" -gt 20 ]
check "opponent score label in red" [ "$(colour_count "$WORK/start.png" 170x24+368+0 '#EB0000')" -gt 20 ]
check "game labels in black" [ "$(colour_count "$WORK/start.png" 60x24+256+0 '#000000')" -gt 20 ]

# The Game menu drops down over the table.
xdotool mousemove --window "$WIN" 20 12 click 1
sleep 0.5
shoot game_menu
check "Game menu opens" near "$(pixel "$WORK/game_menu.png" 150 60)" "206 206 204" 0
xdotool key Escape
sleep 0.3

# A wider window: the table grows, black shows right of the banner.
xdotool windowsize "$WIN" 800 580
sleep 0.5
shoot wide
check "wider table keeps the cloth" near "$(pixel "$WORK/wide.png" 700 224)" "$GREEN" 0
check "black right of the banner" near "$(pixel "$WORK/wide.png" 700 520)" "$BLACK" 0

xdotool windowfocus --sync "$WIN"
xdotool key ctrl+q
check "Ctrl+Q ends the program with status 0" exits_cleanly

# --- A background picture named in the settings; closing the window ---
"$CONVERT" -size 320x240 xc:'rgb(200,40,40)' -quality 95 "$WORK/small.jpg"
mkdir -p "$HOME/.foxrc/zok"
printf '[Display]\nBackground=%s\n' "$WORK/small.jpg" > "$HOME/.foxrc/zok/marvanto"
start
shoot picture
check "background picture under the table" near "$(pixel "$WORK/picture.png" 100 124)" "200 40 40" 6
check "black beyond a small picture" near "$(pixel "$WORK/picture.png" 400 324)" "$BLACK" 0
"$PROBE" close Marvanto
check "closing the window ends the program with status 0" exits_cleanly
check "the setting is kept" grep -q "small.jpg" "$HOME/.foxrc/zok/marvanto"

# --- A setting that names no readable picture falls back to the cloth ---
printf '[Display]\nBackground=Solid\n' > "$HOME/.foxrc/zok/marvanto"
start
shoot missing
check "unreadable picture gives the cloth" near "$(pixel "$WORK/missing.png" 320 224)" "$GREEN" 0
"$PROBE" close Marvanto
check "second close ends with status 0" exits_cleanly

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
