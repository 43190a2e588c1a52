#!/usr/bin/env bash
# Drives the real velora executable as an operator would, in a real X server with
# a window manager: add cameras through the Devices menu, let frames flow, open a
# configuration file, save, float the two side docks, close the window. Checks the
# exit code, how fast the process ends after the close, and the log lines (read
# back through the clipboard, as an operator would copy them).
#
#   operator_session.sh VELORA CONFIG_FILE ARTIFACT_DIR [CLOSE_LIMIT_MS]
#
# Run inside an X server (xvfb-run); leaves workspace.png and velora.log (the
# program's output) in ARTIFACT_DIR.
#
# Nothing here waits without a bound: every X client runs under a time limit, and
# every wait polls for its outcome until a deadline. While it waits, the session
# watches the program: when it ends on its own, the session says so at once, with
# its exit status and the tail of its output.
set -uo pipefail

velora=$1
config=$2
artifacts=$3
close_limit_ms=${4:-1000}
mkdir -p "$artifacts"
rm -f "$artifacts/failure.png"
output=$artifacts/velora.log
title="Velora - untitled project"
cameras=4
pid=
SECONDS=0

# An X client, a clipboard request or a window manager request gets this long.
x_limit=10

# Runs a command under a time limit; when the limit is hit, says which command it was.
limited() {
    local seconds=$1 rc
    shift
    timeout -k 2 "$seconds" "$@"
    rc=$?
    [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ] && echo "   gave up on '$*' after ${seconds}s" >&2
    return "$rc"
}
x() { limited "$x_limit" "$@"; }

fail() {
    echo "FAIL after ${SECONDS}s: $*"
    echo "windows: $(x xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do x xdotool getwindowname "$w"; done | tr "\n" "|")"
    x import -window root "$artifacts/failure.png" 2>/dev/null
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
    exit 1
}

# The program's process is there and not a zombie.
running() {
    local state
    state=$(sed -E 's/^.*\) (.).*$/\1/' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# Fails at once when the program has ended on its own.
check_alive() {
    [ -z "$pid" ] || running && return 0
    wait "$pid"
    local rc=$?
    pid=
    echo "velora ended on its own, exit status $rc$([ "$rc" -gt 128 ] && echo " (signal $((rc - 128)))"); the end of its output:"
    tail -n 40 "$output" | sed 's/^/   | /'
    fail "velora ended on its own (exit status $rc), at: $1"
}

# Polls a command until it succeeds or the time (in tenths of a second) runs out,
# watching the program meanwhile.
#   wait_for TENTHS WHAT COMMAND...
wait_for() {
    local tenths=$1 what=$2 deadline
    shift 2
    deadline=$(($(date +%s%N) / 100000000 + tenths))
    while :; do
        check_alive "$what"
        "$@" >/dev/null 2>&1 && return 0
        [ $(($(date +%s%N) / 100000000)) -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

window_named() { [ -n "$(x xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }
window_gone() { ! window_named "$1"; }
first_window() { x xdotool search --onlyvisible --name "$1" 2>/dev/null | sed -n 1p; }

# Sends keys to a window once the window manager has made it the active one, so
# no key lands in the window that was active a moment before.
keys_to() {
    local window=$1
    shift
    [ -n "$window" ] || return 1
    x xdotool windowactivate --sync "$window" && x xdotool key --clearmodifiers "$@"
}

# Runs an operator step until its outcome shows: a step whose keys the loaded
# GUI thread lost, or whose X client ran out of time, is retried (each try
# logged) after closing what it left open.
#   step TRIES TENTHS_PER_TRY FAILURE_TEXT OUTCOME_CHECK... -- ACTION...
step() {
    local tries=$1 tenths=$2 what=$3 try
    shift 3
    local check=() action=()
    while [ "$1" != -- ]; do check+=("$1"); shift; done
    shift
    action=("$@")
    for ((try = 1; try <= tries; try++)); do
        check_alive "$what"
        "${action[@]}"
        wait_for "$tenths" "$what" "${check[@]}" && return 0
        [ "$try" -lt "$tries" ] && echo "   try $try of $tries: $what; trying again"
    done
    fail "$what after $tries tries"
}

# The clipboard is how an operator moves text in and out of the program. xclip
# stays behind to serve what it was given, so its output goes nowhere.
to_clipboard() { printf '%s' "$1" | x xclip -i -selection clipboard >/dev/null 2>&1; }
from_clipboard() { x xclip -o -selection clipboard 2>/dev/null; }

# The main window's geometry, as X, Y, WIDTH and HEIGHT.
geometry() { eval "$(x xdotool getwindowgeometry --shell "$wid")"; }

copy_log() {
    # The log panel lies along the bottom of the maximized window, above the status bar.
    geometry || return 1
    x xdotool windowactivate --sync "$wid" || return 1
    x xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 60)) click 1 || return 1
    x xdotool key --clearmodifiers ctrl+a ctrl+c || return 1
    from_clipboard
}

messages() { sed -E 's/^\[[^]]*\] \[[^]]*\] \[[a-z]+\] //'; }

# The X server first, then the window manager on it. The server does not reset when
# the probe leaves (-noreset), so it does not refuse the window manager.
wait_for 300 "the X server" x xdotool getdisplaygeometry || fail "the X server $DISPLAY does not answer"
openbox >"$artifacts/openbox.log" 2>&1 &
wm=$!
# Up, or gone for good.
wm_settled() { x wmctrl -m || ! kill -0 "$wm" 2>/dev/null; }
if ! { wait_for 150 "the window manager" wm_settled && x wmctrl -m >/dev/null 2>&1; }; then
    sed 's/^/   | /' "$artifacts/openbox.log"
    fail "window manager did not start; its output is above"
fi

VELORA_EMULATED_CAMERAS=$cameras "$velora" >"$output" 2>&1 &
pid=$!
wait_for 300 "the main window" window_named "$title" || fail "main window did not appear"
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
    x import -window root "$artifacts/workspace.png" || return 1
    sleep 0.5
    x import -window root "$artifacts/workspace-later.png" || return 1
    changed=$(x compare -metric AE "$artifacts/workspace.png" "$artifacts/workspace-later.png" null: 2>&1 | cut -d' ' -f1)
    [ "${changed%.*}" -gt 100 ] 2>/dev/null
}

echo "== Frames flowing"
changed=0
x xdotool windowactivate --sync "$wid" || fail "main window could not be activated"
wait_for 30 "frames to flow" view_changes ||
    fail "the camera view did not change between two screenshots ($changed pixels)"

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
keys_to "$wid" ctrl+s || fail "Ctrl+S did not reach the main window"

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
log=
log_complete() {
    log=$(copy_log | messages)
    [ "$log" = "$expected" ]
}
echo "== Log"
wait_for 100 "the log to hold the session" log_complete
printf '%s\n' "$log" >"$artifacts/log.txt"
printf '%s\n' "$log"
[ "$log" = "$expected" ] || fail "the log lines above differ from the expected ones:
$expected"

# A double-click on a dock's title bar floats it. The property table's tab is the
# first under the menu bar at the left. The log's title bar lies just above its
# text: in a screenshot, the lowest run of rows in the window's own grey up a
# column of the bottom of the window (the text, white or selected, never has it).
float_property_table() {
    geometry || return 1
    x xdotool windowactivate --sync "$wid" || return 1
    x xdotool mousemove $((X + 40)) $((Y + 11)) click --repeat 2 --delay 80 1
}
float_log() {
    local column top bar
    geometry || return 1
    x xdotool windowactivate --sync "$wid" || return 1
    x import -window root "$artifacts/float.png" || return 1
    column=$((X + WIDTH - 80))
    top=$((Y + HEIGHT - 460))
    bar=$(x convert "$artifacts/float.png" -crop "1x400+$column+$top" -depth 8 txt:- |
        awk -F'[,:]' 'NR > 1 {
            if ($0 ~ /#EFEFEF/) { if (run++ == 0) first = $2; if (run >= 8) middle = first + int(run / 2) }
            else run = 0
        } END { print middle }')
    [ -n "$bar" ] || return 1
    x xdotool mousemove "$column" $((top + bar)) click --repeat 2 --delay 80 1
}

echo "== Float the property table and the log"
step 3 50 "property table did not float" window_named "^Property Table$" -- float_property_table
step 3 50 "log did not float" window_named "^MVL Logger$" -- float_log

echo "== Close the window"
start=$(date +%s%N)
x wmctrl -c "$title" || fail "the window manager did not take the close"
# The process ends by itself; ten times the limit on, it is not going to.
while running && [ $(($(date +%s%N) - start)) -lt $((close_limit_ms * 10000000)) ]; do
    sleep 0.02
done
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
running && fail "process still running ${elapsed_ms} ms after the main window closed"
wait "$pid"
rc=$?
pid=

echo "exit code $rc after ${elapsed_ms} ms"
if [ "$rc" -ne 0 ]; then
    tail -n 40 "$output" | sed 's/^/   | /'
    fail "exit code $rc"
fi
[ "$elapsed_ms" -le "$close_limit_ms" ] || fail "process took ${elapsed_ms} ms to end after the close"
echo "session passed in ${SECONDS}s"
