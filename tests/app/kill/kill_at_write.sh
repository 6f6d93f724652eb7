#!/bin/bash
# Kills the driver at each rename of an exit and of a first start in turn (the Nth call
# found by a first traced run), then checks that the layout record, the settings file and
# every sample are whole, the old file or the new one, and that the next start finds the
# user's home folder.
set -u
driver=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# LeakSanitizer cannot run under a tracer.
export ASAN_OPTIONS=detect_leaks=0
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

key="Ostrel/Zentrik2020/$(basename "$driver")"
# The state before: a record that points to the user's own home folder, and their settings.
make_before() {
    rm -rf "$work/run"
    mkdir -p "$work/run/config/$key" "$work/run/userhome" "$work/run/home"
    printf 'EnvHomeDirectory=%s\n' "$work/run/userhome/" > "$work/run/config/$key/registry.ini"
    cp "$work/old-settings.xml" "$work/run/userhome/zentrik.xml"
}
run_driver() {
    HOME="$work/run/home" XDG_CONFIG_HOME="$work/run/config" "$@"
}

mkdir -p "$work/source"
for type in QFP SOP PBGA FCBGA TO-220 TO-247 TO-263 TO-252 SOT-89 SOT-223; do
    mkdir -p "$work/source/$type"
    head -c 3000 /dev/urandom | base64 > "$work/source/$type/${type}_Sample_1.qvx"
done
printf '<?xml version="1.0" encoding="utf-8"?>\n<trelvo version="2020"><folder><parts>%s</parts></folder></trelvo>\n' \
    "$work/userparts/" > "$work/old-settings.xml"

# A run without a kill gives the new files and counts the calls.
make_before
run_driver strace -f -qq -o "$work/trace-exit" -e trace=rename,renameat,renameat2 \
    "$driver" exit || fail "exit without a kill"
run_driver strace -f -qq -o "$work/trace-start" -e trace=rename,renameat,renameat2 \
    "$driver" start "$work/source/" > /dev/null || fail "start without a kill"
cp "$work/run/userhome/zentrik.xml" "$work/new-settings.xml"
cmp -s "$work/old-settings.xml" "$work/new-settings.xml" && fail "the exit changed no setting"

check_whole() {
    local what=$1 record="$work/run/config/$key/registry.ini"
    grep -qxF "EnvHomeDirectory=$work/run/userhome/" "$record" || fail "$what: record lost the home folder"
    local rect layout
    rect=$(grep -c '^MainFrameRect=10,20,800,600$' "$record")
    layout=$(grep -c "^PaneLayout=p\{4000\}$" "$record")
    [ "$(grep -c '^MainFrameRect=' "$record")" = "$rect" ] || fail "$what: a part of the rectangle"
    [ "$(grep -c '^PaneLayout=' "$record")" = "$layout" ] || fail "$what: a part of the layout"
    cmp -s "$work/run/userhome/zentrik.xml" "$work/old-settings.xml" ||
        cmp -s "$work/run/userhome/zentrik.xml" "$work/new-settings.xml" ||
        fail "$what: settings file neither old nor new"
    for sample in "$work"/run/userhome/parts/*/*; do
        [ -e "$sample" ] || continue
        local type; type=$(basename "$(dirname "$sample")")
        cmp -s "$sample" "$work/source/$type/$(basename "$sample")" ||
            fail "$what: $(basename "$sample") is not whole"
    done
}

tried=0
for mode in exit start; do
    for call in rename renameat renameat2; do
        count=$(grep -c "^[0-9]* *$call(" "$work/trace-$mode")
        for ((n = 1; n <= count; n++)); do
            make_before
            # The start's kills follow a complete exit, as a user's next start would.
            [ "$mode" = start ] && run_driver "$driver" exit
            run_driver strace -f -qq -o /dev/null -e trace=$call \
                -e inject=$call:signal=KILL:when=$n "$driver" $mode "$work/source/" > /dev/null 2>&1
            check_whole "$mode killed at $call #$n"
            home=$(run_driver "$driver" start "$work/source/")
            [ "$home" = "$work/run/userhome/" ] || fail "$mode killed at $call #$n: next start found $home"
            check_whole "next start after $mode killed at $call #$n"
            for type in QFP SOP PBGA FCBGA TO-220 TO-247 TO-263 TO-252 SOT-89 SOT-223; do
                [ -s "$work/run/userhome/parts/$type/${type}_Sample_1.qvx" ] ||
                    fail "next start after $mode killed at $call #$n: no $type sample"
            done
            leftovers=$(find "$work/run/config" -name '.*-zt*' | wc -l)
            [ "$leftovers" = 0 ] || fail "$mode killed at $call #$n: $leftovers temporaries left"
            tried=$((tried + 1))
        done
    done
done
[ "$tried" -ge 13 ] || fail "only $tried kills tried"
echo "$tried kills tried, $failures failures"
[ "$failures" = 0 ]
