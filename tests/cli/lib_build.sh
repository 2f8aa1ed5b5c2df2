#!/usr/bin/env bash
# lib build: a text file with one formula per line becomes a library; a line that does
# not parse is refused with its line number and the parser's message.
. "$(dirname "$0")/lib_common.inc"

printf '# Kommentar\n\ny=a*x^2 {Parabel}\r\n  # eingerückter Kommentar\nA=~p*r^2\n' > "$T/gut.txt"
expect_rc 0 "$CLI" lib build "$T/gut.txt" "$T/gut.pqb"
expect_rc 0 "$CLI" lib show "$T/gut.pqb"
[ "$(cut -f4 "$T/out")" = "$(printf 'y=a*x^2 {Parabel}\nA=~p*r^2')" ] || fail "built library holds: $(cat "$T/out")"

printf 'y=a\ny=(b\n' > "$T/schlecht.txt"
expect_rc 1 "$CLI" lib build "$T/schlecht.txt" "$T/schlecht.pqb"
grep -q 'schlecht.txt:2: Fehler 3: Klammer ) fehlt' "$T/err" || fail "refusal: $(cat "$T/err")"
[ ! -e "$T/schlecht.pqb" ] || fail "a refused source still wrote a library"

printf 'y=α\n' > "$T/griechisch.txt"
expect_rc 1 "$CLI" lib build "$T/griechisch.txt" "$T/g.pqb"
expect_rc 2 "$CLI" lib build "$T/fehlt.txt" "$T/g.pqb"

# The example libraries of the program build and hold 25 to 60 formulas each.
src="$(dirname "$0")/../../resources/libraries"
for f in "$src"/*.txt; do
    expect_rc 0 "$CLI" lib build "$f" "$T/beispiel.pqb"
    expect_rc 0 "$CLI" lib show "$T/beispiel.pqb"
    n=$(wc -l < "$T/out")
    [ "$n" -ge 25 ] && [ "$n" -le 60 ] || fail "$(basename "$f"): $n formulas"
done
exit 0
