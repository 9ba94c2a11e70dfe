#!/bin/sh
# Starts or stops the transit relay for the tests that play through one:
#   test_relay.sh start DIR   - a relay on 127.0.0.1 at a free port; DIR/address
#                               holds "127.0.0.1:PORT" once it answers
#   test_relay.sh stop DIR
set -eu
dir=$2
case $1 in
start)
  mkdir -p "$dir"
  rm -f "$dir/address"
  [ -f "$dir/twistd.pid" ] && kill "$(cat "$dir/twistd.pid")" 2>/dev/null || true
  rm -f "$dir/twistd.pid"
  twistd=$(command -v twistd3 || command -v twistd || true)
  # The system's Python, which the relay package installs into.
  py=/usr/bin/python3
  [ -x "$py" ] || py=python3
  if [ -z "$twistd" ] || ! "$py" -c 'import wormhole_transit_relay' 2>/dev/null; then
    echo "the transit relay is not installed (make deps installs magic-wormhole-transit-relay)" >&2
    exit 1
  fi
  # A port no one holds now; the relay takes it a moment later.
  port=$("$py" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  "$twistd" --pidfile="$dir/twistd.pid" --logfile="$dir/relay.log" \
    transitrelay --port="tcp:$port:interface=127.0.0.1"
  for _ in $(seq 100); do
    if "$py" -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2).close()" 2>/dev/null; then
      echo "127.0.0.1:$port" > "$dir/address"
      echo "relay at 127.0.0.1:$port"
      exit 0
    fi
    sleep 0.1
  done
  echo "the relay did not start; see $dir/relay.log" >&2
  exit 1
  ;;
stop)
  if [ -f "$dir/twistd.pid" ]; then
    kill "$(cat "$dir/twistd.pid")" 2>/dev/null || true
    rm -f "$dir/twistd.pid"
  fi
  rm -f "$dir/address"
  ;;
esac
