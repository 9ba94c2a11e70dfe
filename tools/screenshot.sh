#!/bin/bash
# Retakes docs/screenshot.png: the real program under Xvfb with the table at
# the medium size, a game started from the setup dialog and played until it
# is the bottom player's turn with cards already on the table.
# Usage: tools/screenshot.sh [MARVANTO] [small|medium|large] [OUT]
#   (defaults build/marvanto, medium, docs/screenshot.png)
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${MARVANTO_SCREENSHOT_XVFB:-}" ]; then
    MARVANTO_SCREENSHOT_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1300x24 -noreset" "$0" "$@"
fi
MARVANTO=$(readlink -f "${1:-$ROOT/build/marvanto}")
SIZE=${2:-medium}
OUT=$(readlink -f "${3:-$ROOT/docs/screenshot.png}")
source "$ROOT/tests/ui/gui_driver.sh"
make_workspace
case $SIZE in
    small) TABLE_HALVES=2 ;;
    medium) TABLE_HALVES=3 ;;
    large) TABLE_HALVES=4 ;;
    *) echo "no table size $SIZE"; exit 2 ;;
esac
mkdir -p "$(dirname "$REGISTRY")"
printf '[Display]\nCardSize=%s\nSpeed=Fast\n' "$SIZE" > "$REGISTRY"

# Window coordinates of the trick slots in the small 640x580 window (the
# canvas lies a top bar down), and the colour of the band that marks the turn.
TURN_MARK="255 220 0"
GREEN="0 120 50"
at() { echo "$(px "$1") $(px "$2")"; }
BOTTOM_SLOT_BAND=$(at 320 257)
TOP_SLOT_MIDDLE=$(at 320 201)
LEFT_SLOT_MIDDLE=$(at 238 249)

card_in() {  # card_in PNG "x y": something other than cloth lies there
    ! near "$(pixel "$1" $2)" "$GREEN" 0 > /dev/null
}

start_program
start_local_game Zed || exit 1
deadline=$((SECONDS + 240))
i=0
eval "$(xdotool getwindowgeometry --shell "$WIN")"
while [ $SECONDS -lt $deadline ]; do
    answer_boxes
    sleep 0.3
    shoot table
    if near "$(pixel "$WORK/table.png" $BOTTOM_SLOT_BAND)" "$TURN_MARK" 0 > /dev/null &&
       card_in "$WORK/table.png" "$TOP_SLOT_MIDDLE" && card_in "$WORK/table.png" "$LEFT_SLOT_MIDDLE" &&
       [ "$(xdotool search --onlyvisible --name '.' | wc -l)" -eq 1 ]; then
        cp "$WORK/table.png" "$OUT"
        echo "wrote $OUT"
        quit_by_keys
        exit 0
    fi
    click_in "$WIN" $((WIDTH / 2 - $(px 150) + $(px 20) * (i % 16))) $((HEIGHT - $(px 154)))
    i=$((i + 1))
done
echo "no game position to show within 240 s"
exit 1
