# Sourced by tools/test, tools/wow64-run, tools/run and the end-to-end
# scripts: the 32-bit Windows build under Wine 10 in WoW64 mode.
#
# This machine runs no 32-bit Linux programs, so 32-bit Wine cannot start,
# and Debian 12's Wine 8 runs 32-bit Windows code only in part. Debian
# trixie's Wine 10, given the 32-bit Windows DLLs of its libwine:i386 (no
# 32-bit Linux library is needed), runs the 32-bit build whole; it needs
# trixie's C library, so it runs in a trixie root made here once, entered
# with chroot. The root sees this machine's /proc, /dev, X display sockets
# and the source and build tree (at the same path, so Wine's Z: paths
# match). Everything mounted here is recorded and unmounted by this run, in
# reverse order; a mount found in place belongs to an outer run and is left
# to it.

WOW64_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WOW64_ROOT=${PIXTOR_WOW64_ROOT:-$WOW64_REPO/build/wow64-root}
WOW64_WINE=/usr/lib/wine/wine64
WOW64_MOUNTS=()
WOW64_SERVER_PID=""
WOW64_PREFIX=""
WOW64_SUDO=""
[ "$(id -u)" = 0 ] || WOW64_SUDO="sudo"

# wow64_command COMMAND...: sets WOW64_COMMAND to the command line that runs
# COMMAND in the root, in the current folder, with the run's display and
# Wine prefix; wow64_in runs it.
wow64_command() {
    WOW64_COMMAND=($WOW64_SUDO chroot "$WOW64_ROOT" /usr/bin/env -i HOME=/root PATH=/usr/bin:/bin
        DISPLAY="${DISPLAY:-}" WINEPREFIX="${WOW64_PREFIX:-${PIXTOR_WOW64_PREFIX:-}}"
        WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
        /bin/sh -c 'cd "$1" 2>/dev/null || cd /; shift; exec "$@"' wow64 "$PWD" "$@")
}
wow64_in() {
    wow64_command "$@"
    "${WOW64_COMMAND[@]}"
}

wow64_mount_one() {   # TYPE SOURCE TARGET
    local target="$WOW64_ROOT$3"
    if mountpoint -q "$target"; then return 0; fi
    $WOW64_SUDO mkdir -p "$target"
    case "$1" in
        proc) $WOW64_SUDO mount -t proc proc "$target" ;;
        rbind) $WOW64_SUDO mount --rbind "$2" "$target" && $WOW64_SUDO mount --make-rslave "$target" ;;
        bind) $WOW64_SUDO mount --bind "$2" "$target" ;;
    esac || { echo "could not mount $target" >&2; return 1; }
    WOW64_MOUNTS+=("$target")
}

# wow64_mount: what Wine needs of this machine inside the root.
wow64_mount() {
    wow64_mount_one proc proc /proc &&
        wow64_mount_one rbind /dev /dev &&
        wow64_mount_one bind /tmp/.X11-unix /tmp/.X11-unix &&
        wow64_mount_one bind "$WOW64_REPO" "$WOW64_REPO" &&
        wow64_share &&
        $WOW64_SUDO cp /etc/hosts "$WOW64_ROOT/etc/hosts"   # else Wine cannot resolve this host
}

# PIXTOR_WOW64_SHARE: one more folder the 32-bit build sees at its own path
# (tools/run's file outside the source tree).
wow64_share() {
    local share=${PIXTOR_WOW64_SHARE:-}
    [ -n "$share" ] && [ -d "$share" ] || return 0
    case "$share/" in "$WOW64_REPO"/*) return 0 ;; esac
    wow64_mount_one bind "$share" "$share"
}

# wow64_unmount: undoes this run's mounts, newest first.
wow64_unmount() {
    local k status=0
    for ((k = ${#WOW64_MOUNTS[@]} - 1; k >= 0; k--)); do
        $WOW64_SUDO umount -R "${WOW64_MOUNTS[k]}" 2>/dev/null ||
            $WOW64_SUDO umount -R -l "${WOW64_MOUNTS[k]}" || status=1
    done
    WOW64_MOUNTS=()
    return $status
}

# wow64_remove DIR: removes a root that nothing is mounted in; a root with
# a mount left in it (a run killed outright) is refused, never walked into.
wow64_remove() {
    [ -e "$1" ] || return 0
    if awk -v d="$1" '$2 == d || index($2, d "/") == 1 {found = 1} END {exit !found}' /proc/mounts; then
        echo "$1 still has something mounted in it; unmount it first (umount -R)" >&2
        return 1
    fi
    $WOW64_SUDO rm -rf "$1"
}

# wow64_make_root: the trixie root with Wine 10 and the 32-bit Windows DLLs,
# made once (about 320 MB downloaded); later runs find it ready.
wow64_make_root() {
    [ -f "$WOW64_ROOT/.pixtor-ready" ] && return 0
    echo "Making the 32-bit test root $WOW64_ROOT (once)"
    wow64_remove "$WOW64_ROOT.new" || return 1
    $WOW64_SUDO mkdir -p "$(dirname "$WOW64_ROOT")"
    local log="$(dirname "$WOW64_ROOT")/wow64-root.log"
    $WOW64_SUDO debootstrap --variant=minbase trixie "$WOW64_ROOT.new" http://deb.debian.org/debian >"$log" 2>&1 ||
        { echo "debootstrap failed; see $log" >&2; return 1; }
    local saved_root=$WOW64_ROOT status=0
    WOW64_ROOT=$WOW64_ROOT.new
    wow64_mount && $WOW64_SUDO cp /etc/resolv.conf "$WOW64_ROOT/etc/resolv.conf" && wow64_in /bin/sh -c '
        set -e
        export DEBIAN_FRONTEND=noninteractive
        apt-get -qq update
        apt-get -qq install -y --no-install-recommends wine wine64
        # The 32-bit Windows DLLs only: no i386 architecture, no 32-bit Linux code.
        apt-get -qq -o APT::Architectures::=i386 update
        cd /tmp
        apt-get -qq -o APT::Architectures::=i386 download libwine:i386
        mkdir -p /tmp/libwine
        dpkg-deb -x libwine_*_i386.deb /tmp/libwine
        cp -a /tmp/libwine/usr/lib/i386-linux-gnu/wine/i386-windows/. /usr/lib/x86_64-linux-gnu/wine/i386-windows/
        rm -rf /tmp/libwine libwine_*_i386.deb
        apt-get clean
        # Without them every 32-bit trial fails, which must not read as a
        # machine that runs no 32-bit code.
        test -f /usr/lib/x86_64-linux-gnu/wine/i386-windows/ntdll.dll' >>"$log" 2>&1 || status=1
    wow64_unmount || status=1
    WOW64_ROOT=$saved_root
    if [ $status -ne 0 ]; then
        echo "making the 32-bit test root failed; see $log" >&2
        return 1
    fi
    $WOW64_SUDO touch "$WOW64_ROOT.new/.pixtor-ready"
    wow64_remove "$WOW64_ROOT" && $WOW64_SUDO mv "$WOW64_ROOT.new" "$WOW64_ROOT"
}

# The trial: whether this machine runs 32-bit Windows code at all. Some
# kernels are built with 32-bit emulation but boot with it switched off;
# there Wine starts no 32-bit program, and nothing in user space can change
# that. The trial program (tools/lib/trial.c) is started in the root in both
# its builds: the 64-bit one must run, or the root or its Wine is broken;
# the 32-bit one tells whether this machine runs 32-bit code.
WOW64_TRIAL_DIR=$WOW64_REPO/build/trial
WOW64_VERDICT=""   # run, skip (this machine cannot) or fail
WOW64_REASON=""

# wow64_trial_build: both trial programs, rebuilt when older than the source.
wow64_trial_build() {
    local width exe src=$WOW64_REPO/tools/lib/trial.c
    mkdir -p "$WOW64_TRIAL_DIR" || return 1
    for width in 32 64; do
        exe=$WOW64_TRIAL_DIR/trial$width.exe
        [ "$exe" -nt "$src" ] && continue
        if [ $width = 32 ]; then i686-w64-mingw32-gcc -O1 -s -o "$exe" "$src" || return 1
        else x86_64-w64-mingw32-gcc -O1 -s -o "$exe" "$src" || return 1; fi
    done
}

# wow64_trial_run WIDTH: true when the trial program of WIDTH bits prints its
# line in the mounted root; what it printed is in WOW64_TRIAL_OUTPUT.
wow64_trial_run() {
    local status=0
    WOW64_TRIAL_OUTPUT=$(timeout 60 "$WOW64_REPO/tools/wow64-run" "$WOW64_TRIAL_DIR/trial$1.exe" 2>&1 </dev/null) || status=$?
    WOW64_TRIAL_OUTPUT=$(printf '%s' "$WOW64_TRIAL_OUTPUT" | tr -d '\r' | grep -v '^$' | head -n 3 | tr '\n' ' ')
    [ $status = 0 ] && [ "${WOW64_TRIAL_OUTPUT% }" = "pixtor trial: $1-bit Windows code runs" ] ||
        { WOW64_TRIAL_OUTPUT="exit $status, ${WOW64_TRIAL_OUTPUT:+printing \"${WOW64_TRIAL_OUTPUT% }\"}"; WOW64_TRIAL_OUTPUT=${WOW64_TRIAL_OUTPUT%, }; return 1; }
}

# wow64_kernel_words: the kernel's own words on why it runs no 32-bit code
# (its log, else its command line or build settings); nothing when it says
# nothing.
wow64_kernel_words() {
    local line
    # Kernels say it in their own ways ("32-bit emulation disabled. ...",
    # or a host's "IA-32 emulation off: ...").
    line=$($WOW64_SUDO dmesg 2>/dev/null | grep -m 1 -oE '(32-bit emulation disabled|IA-32 emulation off).*') || true
    if [ -n "$line" ]; then
        echo "32-bit emulation is off; the kernel's log says \"$line\""
    elif tr ' ' '\n' </proc/cmdline 2>/dev/null | grep -qiE '^ia32_emulation=(0|n|no|off|false)$'; then
        echo "32-bit emulation is off: ia32_emulation=off on the kernel's command line"
    elif zcat /proc/config.gz 2>/dev/null | grep -qx 'CONFIG_IA32_EMULATION_DEFAULT_DISABLED=y' &&
        ! tr ' ' '\n' </proc/cmdline | grep -qiE '^ia32_emulation=(1|y|yes|on|true)$'; then
        echo "32-bit emulation is off: this kernel is built with it off unless booted with ia32_emulation=on"
    fi
}

# wow64_decide ROOT TRIAL64 TRIAL32 WORDS: the verdict from what was found
# (ROOT: whether the root was made; TRIAL64 and TRIAL32: empty when that
# trial program ran, else what it printed; WORDS: the kernel's). Sets
# WOW64_VERDICT and WOW64_REASON. PIXTOR_REQUIRE_32BIT=1 makes a machine
# that cannot run 32-bit code a failure.
wow64_decide() {
    local log="$(dirname "$WOW64_ROOT")/wow64-root.log"
    if [ "$1" != yes ]; then
        if [ -n "$4" ]; then
            WOW64_VERDICT=skip
            WOW64_REASON="the 32-bit test root could not be made (see $log), and this machine's kernel runs no 32-bit code anyway ($4)"
        else
            WOW64_VERDICT=fail
            WOW64_REASON="the 32-bit test root could not be made: is the Debian package mirror reachable? See $log"
        fi
    elif [ -n "$2" ]; then
        WOW64_VERDICT=fail
        WOW64_REASON="the 64-bit trial program did not run in the 32-bit test root either, so the root or its Wine is broken ($2)"
    elif [ -z "$3" ]; then
        WOW64_VERDICT=run
        WOW64_REASON=""
    else
        WOW64_VERDICT=skip
        if [ -n "$4" ]; then
            WOW64_REASON="this machine's kernel runs no 32-bit code ($4)"
        else
            WOW64_REASON="this machine runs no 32-bit code: the 64-bit trial program ran, the 32-bit one did not ($3), and the kernel's log says nothing of why"
        fi
    fi
    if [ $WOW64_VERDICT = skip ] && [ "${PIXTOR_REQUIRE_32BIT:-0}" = 1 ]; then
        WOW64_VERDICT=fail
        WOW64_REASON="$WOW64_REASON; PIXTOR_REQUIRE_32BIT=1 requires the 32-bit tests to run"
    fi
}

# wow64_trial ROOT: the trial in the session of wow64_session (ROOT: yes when
# the root was made), then wow64_decide.
wow64_trial() {
    local trial64="" trial32=""
    if [ "$1" = yes ]; then
        wow64_trial_build || { WOW64_VERDICT=fail; WOW64_REASON="the trial programs could not be built"; return; }
        wow64_trial_run 64 || trial64=$WOW64_TRIAL_OUTPUT
        [ -n "$trial64" ] || wow64_trial_run 32 || trial32=$WOW64_TRIAL_OUTPUT
    fi
    local words=""
    [ "$1" = yes ] && [ -z "$trial32" ] || words=$(wow64_kernel_words)
    wow64_decide "$1" "$trial64" "$trial32" "$words"
}

# wow64_mounted: true when the root is mounted, by this run or an outer one.
wow64_mounted() {
    mountpoint -q "$WOW64_ROOT/proc" && mountpoint -q "$WOW64_ROOT$WOW64_REPO"
}

# wow64_session PREFIX: the root mounted, a Wine 10 prefix of its own (made
# once, its windows left to no window manager) and a persistent wineserver.
wow64_session() {
    WOW64_PREFIX=$1
    export PIXTOR_WOW64_PREFIX=$1
    local run="$WOW64_REPO/tools/wow64-run"
    wow64_make_root && wow64_mount || return 1
    mkdir -p "$WOW64_PREFIX"
    wow64_in /usr/lib/wine/wineserver -f -p >/dev/null 2>&1 </dev/null &
    WOW64_SERVER_PID=$!
    if [ ! -f "$WOW64_PREFIX/.pixtor-ready" ]; then
        echo "Setting up the 32-bit Wine prefix $WOW64_PREFIX (once)"
        timeout 300 "$run" wineboot -i >"$WOW64_PREFIX.log" 2>&1 </dev/null ||
            { echo "setting up the prefix failed; see $WOW64_PREFIX.log" >&2; return 1; }
        touch "$WOW64_PREFIX/.pixtor-ready"
    fi
    session_unmanaged "$run" "$WOW64_PREFIX"
    # Wine's background programs now, with no pipe of ours open (see session.sh).
    timeout 120 "$run" wineboot >/dev/null 2>&1 </dev/null || true
}

# wow64_stop: every program of the prefix ended through its own wineserver,
# the server, then the mounts; 1 when a process of the prefix outlives it.
wow64_stop() {
    local status=0
    if [ -n "$WOW64_SERVER_PID" ]; then
        timeout 30 "$WOW64_REPO/tools/wow64-run" --kill-server >/dev/null 2>&1 || true
        wait "$WOW64_SERVER_PID" 2>/dev/null || true
        WOW64_SERVER_PID=""
        session_end_leftovers "$WOW64_PREFIX" || status=1
    fi
    wow64_unmount || status=1
    return $status
}
