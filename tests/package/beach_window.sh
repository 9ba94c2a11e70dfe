# The program's window as an installed or unpacked copy starts it: from an
# empty folder, with no settings, on the beach the package brings. Sourced
# after gui_driver.sh by the package tests; MARVANTO names the program.
#
# Usage: check_beach_window BEACH_JPG

check_beach_window() {
    local beach=$1 point x y
    start_program
    shoot beach
    check "the window is 640x580" [ "$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')" = 640x580 ]
    # Canvas points lie 24 pixels lower in the window, under the top bar; the
    # setup dialog in the middle of the table is kept clear of.
    for point in "20 8" "600 30" "40 300" "250 420" "630 420"; do
        read -r x y <<< "$point"
        check "the beach at $x,$y" near "$(pixel "$WORK/beach.png" "$x" $((y + 24)))" "$(pixel "$beach" "$x" "$y")" 6
    done
    keys_to "$WIN" ctrl+q
    check "Ctrl+Q ends the program with status 0" exits_cleanly
}
