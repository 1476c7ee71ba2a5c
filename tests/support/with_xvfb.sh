#!/usr/bin/env bash
# Runs one window-test program on a real X server: a private Xvfb display with a window manager
# when one is installed. Key auto-repeat, focus between windows and the real fonts' metrics only
# show there. Exits 77 (counted as skipped by ctest) when no X server can start.
set -u

skip() {
    echo "SKIPPED: $1; the real-X tests did not run" >&2
    exit 77
}

command -v Xvfb >/dev/null || skip "Xvfb is not installed (make deps installs it)"
command -v xdotool >/dev/null || skip "xdotool is not installed (make deps installs it)"

fifo_dir=$(mktemp -d) || skip "no temp folder"
trap 'rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"

# -displayfd picks a free display number and writes it once the server accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
xvfb=$!
display=""
read -r -t 20 display <"$fifo_dir/display"
if [ -z "$display" ]; then
    kill "$xvfb" 2>/dev/null
    cat "$fifo_dir/xvfb.log" >&2
    skip "Xvfb did not start"
fi
export DISPLAY=":$display"

wm=""
# HOOP_NO_WM=1 leaves the display without a window manager, as some kiosks and remote sessions are.
if [ -z "${HOOP_NO_WM:-}" ] && command -v openbox >/dev/null; then
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    # Give the window manager time to take the display before the first window maps.
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
fi

# Keys must repeat as a user's keyboard does: repeat starts after 250 ms, 30 per second.
xset r on >/dev/null 2>&1 && xset r rate 250 30 >/dev/null 2>&1

export QT_QPA_PLATFORM=xcb HOOP_REAL_X=1
"$@"
status=$?

[ -n "$wm" ] && kill "$wm" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait 2>/dev/null
exit $status
