# Sourced by tools/test, tools/run and the end-to-end scripts: a virtual
# display and a Wine server that belong to this run alone. Everything
# started here is stopped by the process id recorded here, never by name.

SESSION_XVFB_PID=""
SESSION_WINESERVER_PID=""
SESSION_PREFIX=""

# session_display: starts Xvfb on the first free display number and waits
# (at most 20 s) until it answers; exports DISPLAY.
session_display() {
    n=${1:-90}
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    SESSION_XVFB_PID=$!
    export DISPLAY=":$n"
    tries=0
    until xdpyinfo >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$SESSION_XVFB_PID" 2>/dev/null; then
            echo "Xvfb did not start on $DISPLAY" >&2
            return 1
        fi
        sleep 0.2
    done
}

# session_utf8: Wine reads Unix file names and command lines in the
# locale's encoding; in UTF-8 every name reaches a program as written.
session_utf8() {
    [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
}

# session_wine PREFIX: a private, quiet Wine prefix (made once) and a
# persistent wineserver for it, so the many short test processes share one.
session_wine() {
    session_utf8
    export WINEPREFIX="$1"
    export PIXTOR_WINEPREFIX="$1"
    SESSION_PREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wineserver -f -p >/dev/null 2>&1 &
    SESSION_WINESERVER_PID=$!
    if [ ! -f "$WINEPREFIX/.pixtor-ready" ]; then
        echo "Setting up the Wine prefix $WINEPREFIX (once)"
        timeout 300 /usr/lib/wine/wine64 wineboot -i >"$WINEPREFIX/wineboot.log" 2>&1 || {
            echo "wineboot failed; see $WINEPREFIX/wineboot.log" >&2
            return 1
        }
        touch "$WINEPREFIX/.pixtor-ready"
    fi
    session_unmanaged /usr/lib/wine/wine64 "$WINEPREFIX"
    # Start Wine's background programs now, with no pipe of ours open:
    # started later by a test they would inherit its output pipe and keep
    # CTest waiting on it until the test times out.
    timeout 120 /usr/lib/wine/wine64 wineboot >/dev/null 2>&1 </dev/null || true
}

# session_unmanaged WINE PREFIX: on the session's own virtual display, the prefix's
# windows are left to no window manager (once per prefix): Xvfb runs none,
# and for a managed window Wine waits on one at every close, seconds each
# time. And a program that crashes ends at once with the crash as its exit
# status: Wine's debugger, started by default, waits until the test's time
# limit. A prefix used on a desktop keeps Wine's defaults.
session_unmanaged() {
    [ -n "$SESSION_XVFB_PID" ] || return 0
    # The registry files themselves say whether it is done: a server ended
    # before it saved its registry leaves the settings unwritten.
    grep -qx '"Managed"="N"' "$2/user.reg" 2>/dev/null &&
        [ "$(grep -cx '"Debugger"=""' "$2/system.reg" 2>/dev/null)" -ge 2 ] && return 0
    local debugger='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' view
    WINEPREFIX="$2" timeout 120 "$1" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 </dev/null || { echo "could not set up $2" >&2; return 1; }
    for view in 64 32; do   # the 64-bit and the 32-bit programs' registry
        WINEPREFIX="$2" timeout 120 "$1" reg add "$debugger" /v Debugger /t REG_SZ /d '' /f /reg:$view \
            >/dev/null 2>&1 </dev/null || { echo "could not set up $2" >&2; return 1; }
    done
}

# session_leftovers PREFIX: the ids of the Wine programs still running in
# the prefix PREFIX: processes with WINEPREFIX=PREFIX in their environment
# whose program is Wine's loader or server. A caller may have that
# WINEPREFIX itself, and so may everything it started (the display, shells,
# timeout): none of those is a Wine program, and this script and its
# ancestors never are.
session_leftovers() {
    local pid exe ours=" " up=$BASHPID
    while [ -n "$up" ] && [ "$up" -gt 1 ]; do
        ours="$ours$up "
        up=$(awk '/^PPid:/ {print $2}' "/proc/$up/status" 2>/dev/null)
    done
    for pid in $(WINEPREFIX= grep -lzxF "WINEPREFIX=$1" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
        case "$ours" in *" $pid "*) continue ;; esac
        exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
        case "${exe##*/}" in
            wine | wine64 | wine-preloader | wine64-preloader | wineserver | wineserver64) echo "$pid" ;;
        esac
    done
}

# session_end_leftovers PREFIX: waits (3 s at most) for the programs of
# PREFIX to end after their server; any still running are reported, ended by
# their process id, and make this return 1.
session_end_leftovers() {
    local left tries=0
    left=$(session_leftovers "$1")
    while [ -n "$left" ] && [ $tries -lt 30 ]; do
        sleep 0.1
        tries=$((tries + 1))
        left=$(session_leftovers "$1")
    done
    [ -z "$left" ] && return 0
    echo "Wine processes of $1 outlived their server:" $left >&2
    kill -9 $left 2>/dev/null || true
    return 1
}

# session_stop: ends every program of the session's prefix through its own
# wineserver (wineserver -k), then the server and the display; returns 1
# when a process of the prefix outlived its server.
session_stop() {
    local status=0
    if [ -n "$SESSION_WINESERVER_PID" ]; then
        WINEPREFIX="$SESSION_PREFIX" timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null || true
        kill "$SESSION_WINESERVER_PID" 2>/dev/null || true
        wait "$SESSION_WINESERVER_PID" 2>/dev/null || true
        SESSION_WINESERVER_PID=""
        session_end_leftovers "$SESSION_PREFIX" || status=1
    fi
    if [ -n "$SESSION_XVFB_PID" ]; then
        kill "$SESSION_XVFB_PID" 2>/dev/null || true
        wait "$SESSION_XVFB_PID" 2>/dev/null || true
        SESSION_XVFB_PID=""
    fi
    return $status
}
