#!/usr/bin/env bash
# Drives the real velora executable as an operator would, in a real X server with
# a window manager: add cameras through the Devices menu, let frames flow, open a
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
rm -f "$artifacts/failure.png"
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
    local tenths=$1 i
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

window_named() { xdotool search --onlyvisible --name "$1" >/dev/null; }
window_gone() { ! window_named "$1"; }
first_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | sed -n 1p; }

# Sends keys to a window once the window manager has made it the active one, so
# no key lands in the window that was active a moment before.
keys_to() {
    local window=$1
    shift
    xdotool windowactivate --sync "$window"
    xdotool key --clearmodifiers "$@"
}

# Runs an operator step until its outcome shows: a step whose keys the loaded
# GUI thread lost is retried (each try logged) after closing what it left open.
#   step TRIES TENTHS_PER_TRY FAILURE_TEXT OUTCOME_CHECK... -- ACTION...
step() {
    local tries=$1 tenths=$2 what=$3 try
    shift 3
    local check=() action=()
    while [ "$1" != -- ]; do check+=("$1"); shift; done
    shift
    action=("$@")
    for ((try = 1; try <= tries; try++)); do
        "${action[@]}"
        wait_for "$tenths" "${check[@]}" && return 0
        [ "$try" -lt "$tries" ] && echo "   try $try of $tries: $what; trying again"
    done
    fail "$what after $tries tries"
}

# The clipboard is how an operator moves text in and out of the program.
to_clipboard() { printf '%s' "$1" | xclip -i -selection clipboard >/dev/null 2>&1; }
from_clipboard() { xclip -o -selection clipboard 2>/dev/null; }

copy_log() {
    # The log panel lies along the bottom of the maximized window, above the status bar.
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool windowactivate --sync "$wid"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 60)) click 1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    from_clipboard
}

messages() { sed -E 's/^\[[^]]*\] \[[^]]*\] \[[a-z]+\] //'; }

openbox >"$artifacts/openbox.log" 2>&1 &
wait_for 300 wmctrl -m || fail "window manager did not start (see openbox.log)"

VELORA_EMULATED_CAMERAS=$cameras "$velora" &
pid=$!
wait_for 300 window_named "$title" || fail "main window did not appear"
wid=$(first_window "$title")

add_camera() {
    # A try whose keys were lost may have left the File menu open.
    keys_to "$wid" Escape Escape alt+f Right Right Right Return
}
finish_wizard() { keys_to "$(first_window 'Open Camera Connection')" Return; }

# Each camera opens the first emulated device, which streams to every camera
# that holds it.
for ((camera = 1; camera <= cameras; camera++)); do
    echo "== Devices > Add New Camera... ($camera of $cameras)"
    step 3 150 "camera wizard did not open" window_named "Open Camera Connection" -- add_camera
    step 3 150 "camera wizard did not finish" window_gone "Open Camera Connection" -- finish_wizard
done

# Two screenshots a moment apart differ once frames are painted.
view_changes() {
    import -window root "$artifacts/workspace.png"
    sleep 0.5
    import -window root "$artifacts/workspace-later.png"
    changed=$(compare -metric AE "$artifacts/workspace.png" "$artifacts/workspace-later.png" null: 2>&1 | cut -d' ' -f1)
    [ "${changed%.*}" -gt 100 ]
}

echo "== Frames flowing"
xdotool windowactivate --sync "$wid"
wait_for 30 view_changes || fail "the camera view did not change between two screenshots ($changed pixels)"

open_dialog() { keys_to "$wid" Escape Escape alt+f o; }

# The path is pasted whole into the file-name field (Alt+N): typed character by
# character, the dialog would move into each directory the text names on the
# way and drop the characters that arrive meanwhile.
enter_path() {
    to_clipboard "$config"
    keys_to "$(first_window '^Open$')" alt+n ctrl+a ctrl+v Return
}

echo "== File > Open Project..."
step 3 150 "file dialog did not open" window_named "^Open$" -- open_dialog
step 3 150 "file dialog did not close" window_gone "^Open$" -- enter_path

echo "== Save (Ctrl+S)"
keys_to "$wid" ctrl+s

expected=$(
    echo "Logger Setup Complete."
    for ((camera = 1; camera <= cameras; camera++)); do
        echo "Adding New Camera View."
        echo "Camera has been added"
    done
    printf '%s\n' "Opening projects..." "Trap" "Laser Power" "Pattern" "Imaging" "Exposure" "Saving project..."
)
# A line reaches the panel when the event loop next runs, so the panel is read
# until it holds the whole session or the time runs out.
log_complete() {
    log=$(copy_log | messages)
    [ "$log" = "$expected" ]
}
echo "== Log"
wait_for 50 log_complete
printf '%s\n' "$log" > "$artifacts/log.txt"
printf '%s\n' "$log"
[ "$log" = "$expected" ] || fail "log lines differ from the expected ones:
$expected"

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
