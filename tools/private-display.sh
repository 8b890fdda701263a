# Sourced by the test and benchmark scripts: start_private_display starts Xvfb on the first free
# display number from $1 to $2 when there is no DISPLAY, exports DISPLAY and sets xvfb_pid (empty
# when a display was already there). The caller kills "$xvfb_pid" when it is done.
xvfb_pid=""
start_private_display() {
    [ -z "${DISPLAY:-}" ] || return 0
    local n
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            xvfb_pid=$!
            export DISPLAY=":$n"
            sleep 1
            return 0
        fi
    done
}
