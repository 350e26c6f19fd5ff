#!/usr/bin/env bash
# Runs the soundtrack generator in a scratch directory and checks what it
# leaves there:
#   fresh   OUT.mp3 does not exist yet: the script makes it, and it decodes
#           as an MP3 of 29-31 s that is not silent in any of the five
#           six-second sections and does not clip (peaks below 0.95);
#   refuse  OUT.mp3 already exists: the script fails and leaves it untouched;
#   force   OUT.mp3 already exists and --force is given: it is replaced by
#           music that passes the "fresh" checks.
# In every case OUT.mp3 is the only file left in the directory.
#
# usage: check-soundtrack.sh fresh|refuse|force MAKE_SOUNDTRACK
source "$(dirname "$0")/check-common.sh"

mode=$1
generator=$2
out=$work/audio.mp3
placeholder="not music, must survive a run without --force"

# The "stat" figure NAME of the decoded file, optionally of a TRIM window.
stat_of() {
    local name=$1
    shift
    sox "$out" -n "$@" stat 2>&1 | awk -v name="$name" '
        index($0, name ":") == 1 { sub(/^[^:]*:[[:space:]]*/, ""); print; found = 1 }
        END { exit !found }'
}

at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

check_music() {
    local duration rms peak start
    duration=$(soxi -D "$out" 2> /dev/null) || fail "the output does not decode"
    if ! at_least "$duration" 29 || ! at_least 31 "$duration"; then
        fail "the output lasts $duration s, not 29-31 s"
    fi
    peak=$(stat_of "Maximum amplitude") || fail "sox cannot read the output back"
    # The generator normalises to -1 dBFS (0.89); a mix that hit full scale
    # comes back from the MP3 encoder at 0.97 or more, not at exactly 1.
    at_least 0.95 "$peak" || fail "the output clips: peak amplitude $peak"
    for start in 0 6 12 18 24; do
        rms=$(stat_of "RMS     amplitude" trim "$start" 6) ||
            fail "sox cannot read $start-$((start + 6)) s of the output"
        at_least "$rms" 0.01 || fail "$start-$((start + 6)) s is silent: RMS amplitude $rms"
    done
}

check_only_output_left() {
    local left
    left=$(cd "$work" && ls -A)
    [[ $left == audio.mp3 ]] || fail "the directory holds '$left', not just audio.mp3"
}

case $mode in
    fresh)
        "$generator" "$out" || fail "the generator failed"
        check_music
        ;;
    refuse)
        printf '%s\n' "$placeholder" > "$out"
        if "$generator" "$out"; then
            fail "the generator overwrote an existing file without --force"
        fi
        [[ $(cat "$out") == "$placeholder" ]] || fail "the existing file was changed"
        ;;
    force)
        printf '%s\n' "$placeholder" > "$out"
        "$generator" --force "$out" || fail "the generator failed with --force"
        check_music
        ;;
    *)
        echo "usage: ${0##*/} fresh|refuse|force MAKE_SOUNDTRACK" >&2
        exit 2
        ;;
esac
check_only_output_left
echo "PASS: $mode"
