#!/usr/bin/env bash
# print: a library printed into a PDF file as the program prints it: the number of
# sheets, sheets that continue a long library, copies, a formula that does not parse
# leaving no space, and refused arguments.
. "$(dirname "$0")/lib_common.inc"

# Sheets of the PDF file, counted in its page objects.
pdf_pages() { grep -a -o -E '/Type ?/Page([^s]|$)' "$1" | wc -l; }

# Skipped when the tool was built without Qt.
printf 'y=x\n' > "$T/eins.txt"
expect_rc 0 "$CLI" lib build "$T/eins.txt" "$T/Eins.pqb"
"$CLI" print "$T/Eins.pqb" -o "$T/probe.pdf" >"$T/out" 2>"$T/err"
if grep -q "braucht Qt" "$T/err"; then
    echo "print: built without Qt, skipped"
    exit 0
fi
[ "$(cat "$T/out")" = 1 ] || fail "one formula: $(cat "$T/out") sheets ($(cat "$T/err"))"
[ "$(pdf_pages "$T/probe.pdf")" -eq 1 ] || fail "one formula: not one page in the PDF"
grep -aq 'P.e.x.a.p.l.a.n. .5...0. .-. .\[.E.i.n.s.\]' "$T/probe.pdf" || fail "job title missing"

# A library longer than a sheet continues on further sheets.
for i in $(seq 1 60); do echo "y=a/b+$i {Formel $i}"; done > "$T/lang.txt"
expect_rc 0 "$CLI" lib build "$T/lang.txt" "$T/Lang.pqb"
expect_rc 0 "$CLI" print "$T/Lang.pqb" -o "$T/lang.pdf"
n="$(cat "$T/out")"
[ "$n" -ge 3 ] && [ "$n" -le 8 ] || fail "60 formulas on $n sheets"
[ "$(pdf_pages "$T/lang.pdf")" -eq "$n" ] || fail "the PDF has not $n pages"
expect_rc 0 "$CLI" print "$T/Lang.pqb" -o "$T/zwei.pdf" --copies 2
[ "$(cat "$T/out")" = "$n" ] || fail "--copies changes the sheets per copy"
[ "$(pdf_pages "$T/zwei.pdf")" -eq $((2 * n)) ] || fail "two copies are not $((2 * n)) pages"

# A formula that does not parse leaves no space: the same sheets as without it.
{ i32 3; record 'y=a+b'; record 'y=(a+'; record 'z=c/d'; } > "$T/Mit.pqb"
{ i32 2; record 'y=a+b'; record 'z=c/d'; } > "$T/Ohne.pqb"
expect_rc 0 "$CLI" print "$T/Mit.pqb" -o "$T/mit.pdf"
expect_rc 0 "$CLI" print "$T/Ohne.pqb" -o "$T/ohne.pdf"
if command -v pdftoppm > /dev/null; then
    pdftoppm -r 30 -gray "$T/mit.pdf" "$T/mit" && pdftoppm -r 30 -gray "$T/ohne.pdf" "$T/ohne" ||
        fail "pdftoppm cannot read the PDF"
    cmp -s "$T/mit-1.pgm" "$T/ohne-1.pgm" || fail "the formula that does not parse left a trace"
    # Something is printed on the sheet: not every pixel is white.
    [ "$(tail -c +20 "$T/ohne-1.pgm" | tr -d '\377' | wc -c)" -gt 100 ] || fail "empty sheet"
fi

# Refused arguments and files that cannot be read.
expect_rc 1 "$CLI" print "$T/Eins.pqb"
expect_rc 1 "$CLI" print "$T/Eins.pqb" -o "$T/x.png"
expect_rc 1 "$CLI" print "$T/Eins.pqb" -o "$T/x.pdf" --copies 0
expect_rc 1 "$CLI" print -o "$T/x.pdf"
expect_rc 2 "$CLI" print "$T/fehlt.pqb" -o "$T/x.pdf"
printf 'kaputt' > "$T/Kaputt.pqb"
expect_rc 2 "$CLI" print "$T/Kaputt.pqb" -o "$T/x.pdf"
expect_rc 2 "$CLI" print "$T/Eins.pqb" -o "$T/kein/ordner/x.pdf"
[ ! -e "$T/x.pdf" ] || fail "a refused print wrote a file"
expect_rc 0 "$CLI" print --help
grep -q "^Aufruf: kdformel-cli print" "$T/out" || fail "print --help"
echo "print: ok"
