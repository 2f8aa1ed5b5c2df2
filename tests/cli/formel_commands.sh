#!/usr/bin/env bash
# calc, parse and excel from the command line: results, messages and exit codes.
. "$(dirname "$0")/lib_common.inc"

out_is() { [ "$(cat "$T/out")" = "$1" ] || fail "stdout '$(cat "$T/out")' instead of '$1'"; }

expect_rc 0 "$CLI" calc 'y=2+3'
out_is 'Ergebnis=5'
expect_rc 0 "$CLI" calc 'y=a*b' a=2 b=3
out_is 'Ergebnis: f( 2; 3 )=6'
expect_rc 0 "$CLI" calc 'y=a*b' a=2,5 b=50%
out_is 'Ergebnis: f( 2,5; 0,5 )=1,25'
expect_rc 0 "$CLI" calc 'F=m*g|n' m=2
out_is 'Ergebnis: f( 2 )=19,6133'
expect_rc 0 "$CLI" calc 'y=FAKULTÄT(4)'
out_is 'Ergebnis=24'
# Evaluation errors are the result box's text, exit 1.
expect_rc 1 "$CLI" calc 'y=a/b' a=1 b=0
out_is 'Division durch 0, oder Überlauf'
# Refusals before the mask, and missing or bad values: stderr, exit 2.
expect_rc 2 "$CLI" calc 'y=a' 
grep -q 'a' "$T/err" || fail "missing value not named"
expect_rc 2 "$CLI" calc 'y=a' a=zwei
expect_rc 2 "$CLI" calc 'y=x[m]'
grep -q 'Berechnung hier nicht möglich' "$T/err" || fail "[ not refused"
expect_rc 2 "$CLI" calc 'y=(a'
grep -q 'Fehler in Formel, oder Markierung falsch' "$T/err" || fail "bad formula not refused"
expect_rc 2 "$CLI" calc 'y=1:z=2'
grep -q 'mehreren Teilformeln' "$T/err" || fail "several sub-formulas not refused"
expect_rc 0 "$CLI" calc 'y=1:z=SUMME(i=1;4;i)' --part 2
out_is 'Ergebnis: f(  )=10'
expect_rc 2 "$CLI" calc 'y=1:z=2' --part 3
expect_rc 2 "$CLI" calc 'y=α'   # Greek is typed as ~a

expect_rc 0 "$CLI" parse 'y=a+b*c' a b c
grep -qx '1 Wert=3 Art=0 Prio=300000 TextPos=1 Folge=2' "$T/out" || fail "parse: term 1"
grep -qx '4 Links=4 Rechts=6 Art=3 TextPos=5' "$T/out" || fail "parse: step 4"
expect_rc 1 "$CLI" parse --collect 'y=(a+b'
out_is 'Fehler 3: Klammer ) fehlt (Position 6, Ende 6)'
expect_rc 1 "$CLI" parse '2*x'
expect_rc 0 "$CLI" parse '2*x' x
expect_rc 0 "$CLI" parse --condition 'a==b;und;c>0'
expect_rc 1 "$CLI" parse --condition 'a=b'
grep -q '^Fehler 16: == erwartet' "$T/out" || fail "condition mode: single ="

expect_rc 0 "$CLI" excel 'y=SIN(x)+ABS(a)'
out_is '=Sin(x)+Abs(a)'
expect_rc 0 "$CLI" excel 'y=INT(x)*SUMME(i=1;2;i)'
out_is '=Abrunden(x;0)*SUMME(i=1;2;i)'
grep -q 'Summenfunktion läßt sich nicht entsprechend umsetzten' "$T/err" || fail "excel: no warning"
exit 0
