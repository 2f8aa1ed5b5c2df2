#!/usr/bin/env bash
# calc never hangs a script: a computation that would run for minutes stops at the time
# limit (--time-limit, 10 s by default) with the message of a loop out of passes.
. "$(dirname "$0")/lib_common.inc"

lang='y=SUMME(i=1;n;SUMME(j=1;n;17*ATN(SIN(j))+1))'
# The message of a loop that really runs out of passes.
expect_rc 1 "$CLI" calc 'y=SUMME(i=1;n;i)' n=1E15
erschoepft="$(cat "$T/out")"
[ -n "$erschoepft" ] || fail "no message for a loop out of passes"

expect_rc 1 "$CLI" calc "$lang" n=65534 --time-limit 1
[ "$(cat "$T/out")" = "$erschoepft" ] || fail "--time-limit 1: $(cat "$T/out") $(cat "$T/err")"

# The default limit ends it as well (the outer timeout only guards the test run).
expect_rc 1 timeout 300 "$CLI" calc "$lang" n=65534
[ "$(cat "$T/out")" = "$erschoepft" ] || fail "default limit: $(cat "$T/out") $(cat "$T/err")"

# A short computation is not touched by the limit.
expect_rc 0 "$CLI" calc 'y=SUMME(i=1;n;SUMME(j=1;n;j))' n=300 --time-limit 1
[ "$(cat "$T/out")" = "Ergebnis: f( 300 )=13545000" ] || fail "short sum: $(cat "$T/out")"

for bad in -1 x 86401; do
    expect_rc 2 "$CLI" calc 'y=1' --time-limit "$bad"
done
expect_rc 2 "$CLI" calc 'y=1' --time-limit
echo ok
