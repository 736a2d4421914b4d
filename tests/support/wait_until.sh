# Sourced by the scripts that drive the real shell. wait_until SECONDS COMMAND...: runs the
# command until it succeeds, for at most SECONDS; fails when it never did.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}
