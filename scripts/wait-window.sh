# Sourced by the scripts that drive windows with xdotool.

# Waits for a window whose name matches; prints its id.
wait_window() {
    for i in $(seq 1 120); do
        id=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.25
    done
    echo "no window '$1'" >&2
    return 1
}
