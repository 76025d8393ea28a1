#!/bin/bash
# The test scripts' own decisions, without Wine: which processes a session ends as
# its prefix's leftovers, and what the 32-bit trial's findings make of the 32-bit stage.
set -u
repo=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
started=()
trap 'kill "${started[@]}" 2>/dev/null; rm -rf "$tmp"' EXIT
status=0
fail() { echo "FAILED: $*"; status=1; }

# A caller whose environment names the prefix (as a Wine user's shell does): only the
# prefix's Wine program is ended, never the caller, its timeout or a display it started.
cp /bin/sleep "$tmp/wine64"
cp /bin/sleep "$tmp/Xvfb"
export WINEPREFIX=$tmp/prefix
"$tmp/wine64" 60 & wine=$!
"$tmp/Xvfb" 60 & xvfb=$!
started=($wine $xvfb)
said=$(timeout 20 bash -c '. "$1/tools/lib/session.sh"; session_end_leftovers "$2"; echo "returned $?"' \
    caller "$repo" "$WINEPREFIX" 2>&1)
echo "$said"
[[ "$said" == *"returned 1"* ]] || fail "the caller did not come back with 1 for the leftover"
[[ "$said" == *"outlived their server: $wine"* ]] || fail "the leftover Wine program was not named alone"
wait $wine 2>/dev/null
kill -0 $wine 2>/dev/null && fail "the leftover Wine program still runs"
kill -0 $xvfb 2>/dev/null || fail "the display was ended"
unset WINEPREFIX

# The trial's findings: ROOT TRIAL64 TRIAL32 WORDS REQUIRE -> verdict.
. "$repo/tools/lib/wow64.sh"
words="32-bit emulation is off"
while read -r root t64 t32 kernel require want; do
    t64=${t64#-} t32=${t32#-}
    [ "$kernel" = - ] && kernel="" || kernel=$words
    PIXTOR_REQUIRE_32BIT=$require wow64_decide "$root" "$t64" "$t32" "$kernel"
    echo "$root $t64 $t32 ${kernel:--} $require: $WOW64_VERDICT ($WOW64_REASON)"
    [ "$WOW64_VERDICT" = "$want" ] || fail "$root $t64 $t32 $kernel $require gave $WOW64_VERDICT, not $want"
    [ "$want" = run ] || [ -n "$WOW64_REASON" ] || fail "a $want without a reason"
    [ "$want$kernel" != "skip$words" ] || [[ "$WOW64_REASON" == *"$words"* ]] ||
        fail "the kernel's words are missing from: $WOW64_REASON"
done <<'TABLE'
yes - - - 0 run
yes - - words 0 run
yes - exit-8 words 0 skip
yes - exit-8 - 0 skip
yes - exit-8 words 1 fail
yes exit-1 - - 0 fail
yes exit-1 exit-8 words 0 fail
no - - - 0 fail
no - - words 0 skip
no - - words 1 fail
TABLE
exit $status
