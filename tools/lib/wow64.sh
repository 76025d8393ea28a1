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
        WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
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
        apt-get clean' >>"$log" 2>&1 || status=1
    wow64_unmount || status=1
    WOW64_ROOT=$saved_root
    if [ $status -ne 0 ]; then
        echo "making the 32-bit test root failed; see $log" >&2
        return 1
    fi
    $WOW64_SUDO touch "$WOW64_ROOT.new/.pixtor-ready"
    wow64_remove "$WOW64_ROOT" && $WOW64_SUDO mv "$WOW64_ROOT.new" "$WOW64_ROOT"
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
