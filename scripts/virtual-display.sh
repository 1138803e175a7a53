# Shared by the screenshot scripts, sourced after they define say and fail: a temporary folder
# ($work), a virtual X display of its own ($DISPLAY) with Xvfb, openbox on it when
# $use_openbox is yes, and the clean-up that stops every process whose id is put into
# $xvfb_pid, $wm_pid, $app_pid or $drag_pid, the last started first, and removes $work.
# Every wait is bounded.
# --- Clean-up: everything started here is stopped by its own process id ---------------------
work="$(mktemp -d "${TMPDIR:-/tmp}/vexlor-screenshot.XXXXXX")"
xvfb_pid=""
wm_pid=""
app_pid=""
drag_pid=""
stop() {
    local pid
    for pid in "$drag_pid" "$app_pid" "$wm_pid" "$xvfb_pid"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            # Up to two seconds, then no more asking.
            for _ in 1 2 3 4 5 6 7 8 9 10; do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.2
            done
            kill -9 "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# --- A free display --------------------------------------------------------------------------
number="${VEXLOR_SCREENSHOT_DISPLAY:-}"
if [ -z "$number" ]; then
    for candidate in $(seq 97 140); do
        if [ ! -e "/tmp/.X${candidate}-lock" ] && [ ! -e "/tmp/.X11-unix/X${candidate}" ]; then
            number="$candidate"
            break
        fi
    done
    [ -n "$number" ] || fail "no free X display between :97 and :140"
fi
export DISPLAY=":$number"
unset WAYLAND_DISPLAY VEXLOR_TEST_LOG
export QT_QPA_PLATFORM=xcb

Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    timeout 2 xwininfo -root >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null ||
        fail "Xvfb did not start on $DISPLAY: $(cat "$work/xvfb.log")"
    sleep 0.1
done
timeout 2 xwininfo -root >/dev/null 2>&1 || fail "Xvfb on $DISPLAY does not answer"

if [ "${use_openbox:-no}" = yes ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    sleep 1
fi

