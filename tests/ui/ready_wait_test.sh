#!/bin/bash
# A host whose seated joiner never reports ready says who is missing once
# its wait runs out, and the setup dialog comes back. The joiner is this
# script, speaking the wire protocol through bash's /dev/tcp; the program
# is the test build, whose wait MARVANTO_WAIT_MS shortens to two seconds.
# Usage (inside xvfb-run): ready_wait_test.sh MARVANTO_TEST_BUILD
# Exit status 77: skipped, because another program holds port 4100.
set -u
source "$(dirname "$0")/gui_driver.sh"
MARVANTO=$(readlink -f "$1")
PORT=4100
WORK=$(mktemp -d)
PID=

fail() {
    echo "FAILED: $*"
    import -window root "$WORK/screen.png" 2>/dev/null && cp "$WORK/screen.png" "${SHOT_DIR:-$WORK}/ready_wait_failed.png"
    exit 1
}

found() { FOUND=$(xdotool search --onlyvisible --name "$1" | head -1); [ -n "$FOUND" ]; }
listening() { ss -ltnH "sport = :$PORT" | grep -q .; }

click() {  # click WINDOW X Y
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.1
    xdotool click 1
}

bytes() {  # bytes N: N zero bytes, as printf escapes
    local i out=""
    for ((i = 0; i < $1; i++)); do out+='\x00'; done
    printf '%s' "$out"
}

cleanup() {
    exec 3>&- 2>/dev/null
    [ -n "$PID" ] && kill "$PID" 2>/dev/null && wait "$PID"
    rm -rf "$WORK"
}
trap cleanup EXIT

wait_until 30 not listening || { echo "SKIPPED: port $PORT is in use"; exit 77; }
MARVANTO_WAIT_MS=2000 "$MARVANTO" &
PID=$!
wait_until 20 found '^Game Setup$' || fail "no Game Setup"
wait_until 10 listening || fail "the program does not listen"
W=$(xdotool search --onlyvisible --name '^Marvanto$' | head -1)

# Game > Network Game: a name, Duvanto, Host.
click "$W" 20 12
sleep 0.3
click "$W" 60 53
wait_until 15 found '^Network Game$' || fail "no Network Game dialog"
D=$FOUND
click "$D" 150 17
xdotool windowfocus --sync "$D"
xdotool type --delay 20 Hana
click "$D" 48 78
click "$D" 40 108
wait_until 15 found '^Add Players$' || fail "no Add Players"
ADD=$FOUND

# Jo joins: a 176-byte join record (name, the joiner's address at 152,
# 4300 at 168, one player at 172) and then silence.
exec 3<>/dev/tcp/127.0.0.1/$PORT || fail "cannot reach the host"
printf '\xa4\xa4\xa4\xa4\xb0\x00\x00\x00\x06\x00\x00\x00' >&3
printf "Jo$(bytes 150)\\x02\\x00\\x13\\x00\\x7f\\x00\\x00\\x01$(bytes 8)\\xcc\\x10$(bytes 2)\\x01\\x00\\x00\\x00" >&3
sleep 1
click "$ADD" 60 20
click "$ADD" 195 190
wait_until 5 not found '^Add Players$' || fail "seating Jo did not fill the table"

# The seating and the rules reach Jo, who never says it is ready.
wait_until 10 found '^Network error$' || fail "the host waits without a word"
import -window root "$WORK/screen.png"
cp "$WORK/screen.png" "${SHOT_DIR:-$WORK}/ready_wait.png"
xdotool windowfocus --sync "$FOUND" key Return
wait_until 10 found '^Game Setup$' || fail "the setup dialog does not come back"
echo "passed: the host names the joiner that is not ready and the session ends"
