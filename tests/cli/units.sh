#!/usr/bin/env bash
# units: what the result field of the unit converter shows, its caption line, and
# exit 1 without output where the window beeps.
. "$(dirname "$0")/lib_common.inc"
export LC_ALL=C   # numbers with a decimal point

out_is() { [ "$(cat "$T/out")" = "$1" ] || fail "stdout '$(cat "$T/out")' instead of '$1' ($2)"; }

# result | page | from | to | value
while IFS='|' read -r want page von nach wert; do
    expect_rc 0 "$CLI" units "$page" "$von" "$nach" "$wert" </dev/null
    out_is "$want" "$page $von $nach $wert"
done <<'TABLE'
39370.0787402|Länge|m|mil|1
39370.0787402|0|0|9|1
1.5|Länge|m|m|1,50
-1.234567E-7|Länge|pm|m|-123456,789
1E-18|Fläche|µm²|km²|1
1E-18|Flaeche|4|5|1
8|Volumen|gal  (US)|liq pt  (US)|1
5400|Zeit|h|s|1,5
285.65|Temperatur|°C|K|12,5
212|5|0|2|100
abc|Temperatur|°C|°C|abc
αβ|Temperatur|°R|°R|αβ
|Länge|m|cm|
|Länge|m|cm|-
TABLE

# The caption line, alone or before the result.
expect_rc 0 "$CLI" units Länge in m --example
out_is 'Beispiel: 1 in = 0.0254 m' example
expect_rc 0 "$CLI" units Temperatur °F °R --example 0
out_is "$(printf 'Formel: x °F = (x+459,67) °R\n459.67')" "formula and result"

# Where the window beeps: exit 1, nothing printed.
for wert in abc 12,5,0 1e -- 1E5000 1E4932 'α'; do
    expect_rc 1 "$CLI" units Länge m cm -- "$wert"
    [ -s "$T/out" ] && fail "output for '$wert'"
    [ -s "$T/err" ] && fail "message for '$wert'"
done
expect_rc 1 "$CLI" units Temperatur K °R 1E4932 --example
[ -s "$T/out" ] && fail "caption printed although the window beeps"

# Wrong arguments: exit 1 with a message.
for args in "Gewicht kg g 1" "6 0 0 1" "Länge m furlong 1" "Zeit 0 7 1" "Masse kg" "Länge m cm"; do
    # shellcheck disable=SC2086
    expect_rc 1 "$CLI" units $args
    [ -s "$T/err" ] || fail "no message for: $args"
done
expect_rc 1 "$CLI" units Länge m cm 1234567890123
grep -q '12 Zeichen' "$T/err" || fail "long value not refused"

# Lists and help.
expect_rc 0 "$CLI" units --list Volumen
[ "$(sed -n 12p "$T/out")" = '11 liq quart  (US)' ] || fail "unit list"
expect_rc 0 "$CLI" units --help

# With a German locale the decimal comma, when that locale is installed.
if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    LC_ALL=de_DE.UTF-8 expect_rc 0 "$CLI" units Temperatur °C K 12.5
    out_is '285,65' "German locale"
fi
exit 0
