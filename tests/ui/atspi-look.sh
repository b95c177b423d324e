#!/usr/bin/env bash
# Starts the program on a private X display with the accessibility bus on,
# opens a window with each step's keys (xdotool names), and prints what a
# screen reader finds there (atspi-look.py).  Needs xvfb, xdotool, dbus-x11,
# at-spi2-core and python3-pyatspi.
#   tests/ui/atspi-look.sh DATADIR [-v] -- "" "alt+m c Return" "alt+i" ...
# An empty step looks at the windows as they are; "click" in a step clicks
# into the main window's first box (there is no window manager to give the
# main window back the keyboard when a window on it closes).
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:?data folder}; shift
verbose=; [ "${1:-}" = -v ] && { verbose=-v; shift; }
[ "${1:-}" = -- ] && shift
n=80; while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n+1)); done
export DISPLAY=:$n QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 & xpid=$!
sleep 1
eval "$(dbus-launch --sh-syntax)"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & bus=$!
sleep 1
"${CVD:-build/cvd}" -d "$dir" >/dev/null 2>&1 & app=$!
trap 'kill $app $bus $DBUS_SESSION_BUS_PID $xpid 2>/dev/null' EXIT
for i in $(seq 40); do win=$(xdotool search --onlyvisible --name '^Calvedon' 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.25; done
xdotool mousemove --window "$win" 150 40 click 1
sleep 1
for step in "$@"; do
  echo "== ${step:-(as opened)}"
  for k in $step; do
    if [ "$k" = click ]; then xdotool mousemove --window "$win" 150 40 click 1; else xdotool key "$k"; fi
    sleep 0.4
  done
  sleep 1.5
  /usr/bin/python3 "$here/atspi-look.py" $verbose
done
