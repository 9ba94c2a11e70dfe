#!/bin/bash
# The real program under Xvfb: its window, menus, labels, table colours and
# banner, a background picture from the settings, and both ways out.
# Usage (inside xvfb-run): window_test.sh MARVANTO X11_PROBE BANNER_JPG
set -u
MARVANTO=$(readlink -f "$1")
PROBE=$(readlink -f "$2")
BANNER=$(readlink -f "$3")
BANNER_SIDE=$(dirname "$BANNER")/banner_side.gif
source "$(dirname "$0")/gui_driver.sh"
make_workspace

# Canvas point (x, y) lies 24 pixels lower in the window, under the top bar.
# The setup dialog opens in the middle of the table: samples keep clear of it.
GREEN="0 120 50"

# --- The window as it starts, with the solid cloth ---
start_program
geometry=$(xdotool getwindowgeometry "$WIN" | grep Geometry | awk '{print $2}')
check "window is 640x580" [ "$geometry" = "640x580" ]
shoot start
check "solid cloth on the table" near "$(pixel "$WORK/start.png" 100 224)" "$GREEN" 0
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

# A wider window: the table is centred on the cloth, and beside the banner
# its sky and sea go on.
xdotool windowsize "$WIN" 800 580
sleep 0.5
shoot wide
check "wider table keeps the cloth" near "$(pixel "$WORK/wide.png" 700 224)" "$GREEN" 0
check "the banner centred" near "$(pixel "$WORK/wide.png" 180 494)" "$(pixel "$BANNER" 100 10)" 2
check "sky and sea right of the banner" near "$(pixel "$WORK/wide.png" 790 520)" "$(pixel "$BANNER_SIDE" 0 36)" 2
check "  and left of it" near "$(pixel "$WORK/wide.png" 10 520)" "$(pixel "$BANNER_SIDE" 0 36)" 2

xdotool windowfocus --sync "$WIN"
xdotool key ctrl+q
check "Ctrl+Q ends the program with status 0" exits_cleanly

# --- A screen too small for the larger tables ---
# Large was chosen on a larger screen: here the window opens at the largest
# size that fits, and the sizes that do not fit are greyed out in the menu.
printf '[Display]\nCardSize=large\nSpeed=Fast\n' > "$REGISTRY"
start_program
geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
check "a stored size too large for the screen opens at the small size" [ "$geometry" = "640x580" ]
position=$(xdotool getwindowgeometry "$WIN" | awk '/Position/ {print $2}')
check "  with the whole window on the screen" [ "${position%%,*}" -ge 0 ] && [ "${position##*,}" -ge 0 ]
for downs in 2 3; do
    steps=()
    for _ in $(seq "$downs"); do steps+=(Down); done
    keys_to "$WIN" Escape
    menu d 4 Right "${steps[@]}"
    sleep 0.5
    geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
    check "Card Size entry $downs down is greyed out and changes nothing" [ "$geometry" = "640x580" ]
done
keys_to "$WIN" Escape Escape
check "  and no larger size is stored" not grep -qx "CardSize=medium" "$REGISTRY"
"$PROBE" close Marvanto
check "closing ends with status 0" exits_cleanly

# --- A background picture named in the settings; closing the window ---
"$CONVERT" -size 320x240 xc:'rgb(200,40,40)' -quality 95 "$WORK/small.jpg"
mkdir -p "$HOME/.foxrc/zok"
printf '[Display]\nBackground=%s\n' "$WORK/small.jpg" > "$REGISTRY"
start_program
shoot picture
check "background picture under the table" near "$(pixel "$WORK/picture.png" 100 124)" "200 40 40" 6
check "a small picture enlarged over the table" near "$(pixel "$WORK/picture.png" 500 324)" "200 40 40" 6
"$PROBE" close Marvanto
check "closing the window ends the program with status 0" exits_cleanly
check "the setting is kept" grep -q "small.jpg" "$REGISTRY"

# --- A setting that names no readable picture falls back to the cloth ---
printf '[Display]\nBackground=Solid\n' > "$REGISTRY"
start_program
shoot missing
check "unreadable picture gives the cloth" near "$(pixel "$WORK/missing.png" 100 224)" "$GREEN" 0
"$PROBE" close Marvanto
check "second close ends with status 0" exits_cleanly

# --- A named pipe or a device is no picture: start-up does not wait on it ---
mkfifo "$WORK/pipe.jpg"
for special in "$WORK/pipe.jpg" /dev/zero; do
    printf '[Display]\nBackground=%s\n' "$special" > "$REGISTRY"
    start_program
    shoot special
    check "$special gives the cloth" near "$(pixel "$WORK/special.png" 100 224)" "$GREEN" 0
    "$PROBE" close Marvanto
    check "$special: close ends with status 0" exits_cleanly
done

summary
