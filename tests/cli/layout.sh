#!/usr/bin/env bash
# layout and render from the command line: the element tree with fixed metrics, parse
# errors, and the SVG, PNG and PDF files of a formula and of a whole library.
. "$(dirname "$0")/lib_common.inc"
SRC="$(cd "$(dirname "$0")/../.." && pwd)"

has_line() { grep -qxF -- "$1" "$T/out" || fail "no line '$1' in: $(cat "$T/out")"; }

expect_rc 0 "$CLI" layout --fixed-metrics 'y=x^2'
has_line 'TFormElem Tag=20 Art=0 Rect=0,52,99,0 Achse=20 OpText="="'
has_line '  TFormelText Tag=13 Rect=0,40,21,0 Text="y"'
has_line '  TFormElem Tag=20 Art=5 Rect=59,52,99,0 Achse=20 OpText=""'
has_line '    TFormElem Tag=20 Art=108 Rect=59,40,80,0 Achse=20 OpText=""'
has_line '      TFormelText Tag=13 Rect=59,40,80,0 Text="x"'
has_line '    TDText Tag=12 Rect=82,52,99,18 Text="2"'
[ "$(wc -l < "$T/out")" -eq 6 ] || fail "y=x^2: not 6 lines"

# QUADRAT looks like the power: the same lines but for the kind.
"$CLI" layout --fixed-metrics 'y=x^2' | sed 's/Art=5 /Art=24 /' > "$T/potenz"
expect_rc 0 "$CLI" layout --fixed-metrics 'y=QUADRAT(x)'
cmp -s "$T/potenz" "$T/out" || fail "QUADRAT differs from ^2"

# Parentheses are signs of their own; the middle dot is UTF-8.
expect_rc 0 "$CLI" layout --fixed-metrics 'y=(a+b)*c'
has_line '  TFormElem Tag=20 Art=3 Rect=57,40,190,0 Achse=20 OpText="·"'
has_line '      TKlammer Tag=21 Rect=57,40,63,0'
has_line '      TKlammer Tag=22 Rect=141,40,147,0'
expect_rc 0 "$CLI" layout --fixed-metrics 'y=WURZEL3(x)+SUMME(k=1;n;k)+GAMMA(x)+INTEGRAL(x=0;1;x)+PRODUKT(k=1;n;k)'
for c in TWurzel TSigma TGamma TIntegral TProdukt; do
    grep -q "^ *$c Tag=2[3-6] Rect=" "$T/out" || fail "no $c line"
done
expect_rc 0 "$CLI" layout --fixed-metrics --condition 'a==b;und;c==dd'
has_line 'TFormElem Tag=20 Art=-7 Rect=0,95,119,0 Achse=20 OpText=""'
expect_rc 0 "$CLI" layout --fixed-metrics 'y=~a "Grad"'
grep -q 'Text="Grad"' "$T/out" || fail "comment leaf missing"

# Parse errors: the message, exit 1.
expect_rc 1 "$CLI" layout --fixed-metrics 'y=(a+b'
[ "$(cat "$T/out")" = 'Fehler 3: Klammer ) fehlt' ] || fail "error line: $(cat "$T/out")"
expect_rc 1 "$CLI" layout --fixed-metrics '2*x'
grep -q '^Fehler ' "$T/out" || fail "collect mode accepts 2*x"
expect_rc 1 "$CLI" layout --fixed-metrics
expect_rc 1 "$CLI" layout --fixed-metrics 'y=x' 'z'
# After "--" every argument is the text, as with lib.
"$CLI" layout --fixed-metrics 'y=x' > "$T/ohne"
expect_rc 0 "$CLI" layout --fixed-metrics -- 'y=x'
cmp -s "$T/ohne" "$T/out" || fail "layout -- TEXT differs from layout TEXT"
expect_rc 1 "$CLI" layout --fixed-metrics -- --condition

# Without --fixed-metrics the screen's metrics (or the fixed ones in a build without Qt).
expect_rc 0 "$CLI" layout 'y=x^2'
grep -q '^TFormElem Tag=20 Art=0 ' "$T/out" || fail "layout without --fixed-metrics"

# render: skipped when the tool was built without Qt.
"$CLI" render --formula 'y=x' -o "$T/probe.svg" >"$T/out" 2>"$T/err"
if grep -q 'ohne Qt gebaut' "$T/err"; then
    echo "render: built without Qt, skipped"
    exit 0
fi
expect_rc 0 "$CLI" lib build "$SRC/resources/libraries/Mathematik.txt" "$T/Mathematik.pqb"
for ext in svg png pdf; do
    expect_rc 0 "$CLI" render --formula 'y=(a+b)^2/WURZEL(x|1)' -o "$T/f.$ext"
    [ -s "$T/f.$ext" ] || fail "render --formula: empty $ext"
    expect_rc 0 "$CLI" render "$T/Mathematik.pqb" -o "$T/m.$ext" --zoom 0,3
    [ -s "$T/m.$ext" ] || fail "render library: empty $ext"
done
head -c 8 "$T/m.png" | od -An -c | grep -q 'P   N   G' || fail "not a PNG"
head -c 5 "$T/m.pdf" | grep -q '%PDF' || fail "not a PDF"
grep -q '<svg' "$T/m.svg" || fail "not an SVG"
[ "$(size "$T/m.png")" -gt "$(size "$T/f.png")" ] || fail "library picture not larger than one formula"
# Brackets and the integral sign from Symbol characters (the default) or as polygons:
# the same layout, other ink.
expect_rc 0 "$CLI" render --formula 'y=(a+b)*INTEGRAL(x=0;1;x*dx)' -o "$T/s.png" --zoom 1
expect_rc 0 "$CLI" render --formula 'y=(a+b)*INTEGRAL(x=0;1;x*dx)' -o "$T/p.png" --zoom 1 \
    --polygon-brackets
cmp -s "$T/s.png" "$T/p.png" && fail "--polygon-brackets draws the same picture"
# A heading "{...}" is drawn as the page draws it: dark blue text, not a grey legend.
expect_rc 0 "$CLI" render --formula 'y=x {Legende}' -o "$T/leg.svg"
grep -q 'fill="#000050"' "$T/leg.svg" || fail "render: heading not in the page's dark blue"
grep -qiE 'fill="#(606060|808080)"' "$T/leg.svg" && fail "render: heading drawn as a grey legend"
expect_rc 1 "$CLI" render --formula 'y=(' -o "$T/x.svg"
expect_rc 1 "$CLI" render --formula 'y=x' -o "$T/x.bmp"
expect_rc 2 "$CLI" render "$T/fehlt.pqb" -o "$T/x.svg"
