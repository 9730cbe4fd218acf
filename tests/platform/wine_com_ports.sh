#!/bin/sh
# Links wine's COM41 and COM42 to the two ends of a null-modem pair of
# pseudo-terminals (socat), for the serial tests under wine.
#   wine_com_ports.sh start|stop STATE_DIR     (WINEPREFIX as for wine)
set -eu
prefix="${WINEPREFIX:-$HOME/.wine}"
state="$2"
pidfile="$state/wine_com_ports.pid"

case "$1" in
  start)
    mkdir -p "$state" "$prefix/dosdevices"
    # A pair left by an earlier start (ctest --repeat starts the fixture again).
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$prefix/dosdevices/com41" "$prefix/dosdevices/com42"
    # Detached from ctest's output, which would otherwise wait for socat.
    # ignoreeof keeps the pair when a test closes its port.
    socat "PTY,link=$prefix/dosdevices/com41,rawer,ignoreeof" \
          "PTY,link=$prefix/dosdevices/com42,rawer,ignoreeof" </dev/null >/dev/null 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 50); do
      [ -e "$prefix/dosdevices/com41" ] && [ -e "$prefix/dosdevices/com42" ] && exit 0
      sleep 0.1
    done
    echo "socat made no COM port links" >&2
    exit 1
    ;;
  stop)
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile" "$prefix/dosdevices/com41" "$prefix/dosdevices/com42"
    ;;
esac
