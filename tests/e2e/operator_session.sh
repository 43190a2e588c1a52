#!/usr/bin/env bash
# Drives the real velora executable as an operator would, in a real X server with
# a window manager: add a camera through the Devices menu, let frames flow, open a
# configuration file, save, close the window. Checks the exit code, how fast the
# process ends after the close, and the log lines (read back through the
# clipboard, as an operator would copy them).
#
#   operator_session.sh VELORA CONFIG_FILE ARTIFACT_DIR [CLOSE_LIMIT_MS]
#
# Run inside an X server (xvfb-run); leaves workspace.png in ARTIFACT_DIR.
set -uo pipefail

velora=$1
config=$2
artifacts=$3
close_limit_ms=${4:-1000}
mkdir -p "$artifacts"
title="Velora - untitled project"
cameras=4

fail() {
    echo "FAIL: $*"
    echo "windows: $(xdotool search --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done | tr "\n" "|")"
    import -window root "$artifacts/failure.png" 2>/dev/null
    [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null
    exit 1
}

# Polls a command until it succeeds or the time (in tenths of a second) runs out.
wait_for() {
    local tenths=$1
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

window_named() { xdotool search --onlyvisible --name "$1" >/dev/null; }
first_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | sed -n 1p; }

copy_log() {
    # The log panel lies along the bottom of the maximized window, above the status bar.
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool windowactivate --sync "$wid"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 60)) click 1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    xclip -o -selection clipboard
}

messages() { sed -E 's/^\[[^]]*\] \[[^]]*\] \[[a-z]+\] //'; }

openbox >/dev/null 2>&1 &
wait_for 50 wmctrl -m || fail "window manager did not start"

VELORA_EMULATED_CAMERAS=$cameras "$velora" &
pid=$!
wait_for 150 window_named "$title" || fail "main window did not appear"
wid=$(first_window "$title")
xdotool windowactivate --sync "$wid"

# Every camera the wizard opens takes the next free emulated device.
for ((camera = 1; camera <= cameras; camera++)); do
    echo "== Devices > Add New Camera... ($camera of $cameras)"
    xdotool windowactivate --sync "$wid"
    xdotool key --clearmodifiers alt+f Right Right Right Return
    wait_for 100 window_named "Open Camera Connection" || fail "camera wizard did not open"
    xdotool windowactivate --sync "$(first_window 'Open Camera Connection')"
    xdotool key --clearmodifiers Return
    wait_for 100 eval '! window_named "Open Camera Connection"' || fail "camera wizard did not finish"
done

echo "== Frames flowing"
xdotool windowactivate --sync "$wid"
sleep 2
import -window root "$artifacts/workspace.png"
sleep 0.5
import -window root "$artifacts/workspace-later.png"
changed=$(compare -metric AE "$artifacts/workspace.png" "$artifacts/workspace-later.png" null: 2>&1 | cut -d' ' -f1)
[ "${changed%.*}" -gt 100 ] || fail "the camera view did not change between two screenshots ($changed pixels)"

echo "== File > Open Project..."
xdotool key --clearmodifiers alt+f o
wait_for 100 window_named "^Open$" || fail "file dialog did not open"
xdotool type --delay 5 "$config"
xdotool key Return
wait_for 100 eval '! window_named "^Open$"' || fail "file dialog did not close"

echo "== Save (Ctrl+S)"
xdotool windowactivate --sync "$wid"
xdotool key --clearmodifiers ctrl+s

log=$(copy_log | messages)
printf '%s\n' "$log" > "$artifacts/log.txt"

echo "== Close the window"
start=$(date +%s%N)
wmctrl -c "$title"
wait "$pid"
rc=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
pid=

echo "exit code $rc after ${elapsed_ms} ms"
[ "$rc" -eq 0 ] || fail "exit code $rc"
[ "$elapsed_ms" -le "$close_limit_ms" ] || fail "process took ${elapsed_ms} ms to end after the close"

expected=$(
    echo "Logger Setup Complete."
    for ((camera = 1; camera <= cameras; camera++)); do
        echo "Adding New Camera View."
        echo "Camera has been added"
    done
    printf '%s\n' "Opening projects..." "Trap" "Laser Power" "Pattern" "Imaging" "Exposure" "Saving project..."
)
echo "== Log"
printf '%s\n' "$log"
[ "$log" = "$expected" ] || fail "log lines differ from the expected ones:
$expected"

