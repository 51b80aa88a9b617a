# Sourced by the scripts that set the machine and the tree up: a user who waits sees a line at least
# every 10 seconds, and each phase ends with the seconds it took.
# The sourcing script sets `who`, the word its lines start with.

say() { echo "$who: $*"; }

# step LABEL LOG COMMAND...: runs COMMAND with its output in LOG, and every 10 seconds says that it is
# still at LABEL, with what the optional function `step_status LOG` makes of the log so far. Returns
# COMMAND's exit code.
step() {
    local label=$1 log=$2
    shift 2
    local start=$SECONDS next=$((SECONDS + 10)) rc=0 pid
    "$@" >"$log" 2>&1 </dev/null &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        sleep 1
        if [ $SECONDS -ge $next ]; then
            local status=
            declare -F step_status >/dev/null && status=$(step_status "$log")
            say "  ... $label, $((SECONDS - start)) s${status:+: $status}"
            next=$((SECONDS + 10))
        fi
    done
    wait "$pid" || rc=$?
    return $rc
}

# done_in LABEL START: the phase's closing line.
done_in() { say "$1 in $((SECONDS - $2)) s"; }
