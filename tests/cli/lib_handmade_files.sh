#!/usr/bin/env bash
# Library files written byte by byte: what is read, what is kept, what is refused.
. "$(dirname "$0")/lib_common.inc"

# Two records; the second carries a Hinweis with bytes after its text and a picture of
# BildTyp 7, which has no picture kind: all of it must survive an edit unchanged.
{ i32 2; record 'y=a*x^2'
  i32 -7; hinweis "abc" 165; i32 7; i32 3; bytes 1 2 3; bytes 6 1; printf 'z'; } > "$T/H.pqb"
expect_rc 0 "$CLI" lib show "$T/H.pqb"
[ "$(cat "$T/out")" = "$(printf '0\t0\t0\ty=a*x^2\n1\t7\t3\tz')" ] || fail "show: $(cat "$T/out")"
second="$(tail -c +$((4 + 51 + 7 + 1)) "$T/H.pqb" | od -An -tx1 -v | tr -d ' \n')"
expect_rc 0 "$CLI" lib delete "$T/H.pqb" 0
[ "$(hex "$T/H.pqb")" = "01000000$second" ] || fail "second record changed: $(hex "$T/H.pqb")"

# A kind-12 text longer than 255 characters is cut to 255 and written back as kind 6.
{ i32 1; i32 600; hinweis ""; i32 0; bytes 12; i32 300; head -c 300 /dev/zero | tr '\0' q; } > "$T/L.pqb"
expect_rc 0 "$CLI" lib show "$T/L.pqb"
[ "$(cut -f4 "$T/out" | tr -d '\n' | wc -c)" -eq 255 ] || fail "kind 12 not cut to 255"
expect_rc 0 "$CLI" lib add "$T/L.pqb" 'b'
[ "$(size "$T/L.pqb")" -eq $((4 + 51 + 255 + 51 + 1)) ] || fail "kind 12 not rewritten as kind 6"

# A negative BildTyp has no size field.
{ i32 1; i32 600; hinweis ""; i32 -1; bytes 6 1; printf 'n'; } > "$T/N.pqb"
expect_rc 0 "$CLI" lib show "$T/N.pqb"
[ "$(cat "$T/out")" = "$(printf '0\t-1\t0\tn')" ] || fail "negative BildTyp: $(cat "$T/out")"

# Damaged files: exit 2, a message naming the file, the whole records before the damage.
{ i32 3; record 'eins'; record 'zwei'; record 'drei'; } > "$T/full.pqb"
for cut in 0 3 4 20 58 59 60 100 113 114 115 168 $(( $(size "$T/full.pqb") - 1 )); do
    head -c "$cut" "$T/full.pqb" > "$T/cut.pqb"
    expect_rc 2 "$CLI" lib show "$T/cut.pqb"
    grep -q 'cut.pqb": Datei endet vorzeitig' "$T/err" || fail "cut $cut: $(cat "$T/err")"
    whole=0
    for end in 59 114 169; do [ "$cut" -ge "$end" ] && whole=$((whole + 1)); done
    [ "$(wc -l < "$T/out")" -eq "$whole" ] || fail "cut $cut: $(wc -l < "$T/out") records shown, not $whole"
    before="$(hex "$T/cut.pqb")"
    expect_rc 2 "$CLI" lib add "$T/cut.pqb" 'x'
    [ "$(hex "$T/cut.pqb")" = "$before" ] || fail "cut $cut: a damaged file was rewritten"
done
{ i32 1; i32 600; hinweis ""; i32 0; bytes 7 1; printf 'k'; } > "$T/kind.pqb"
expect_rc 2 "$CLI" lib show "$T/kind.pqb"
grep -q 'unbekannte Textart 7' "$T/err" || fail "kind 7: $(cat "$T/err")"
{ i32 1; i32 600; hinweis ""; i32 1; i32 1000000; printf 'abc'; } > "$T/pic.pqb"
expect_rc 2 "$CLI" lib show "$T/pic.pqb"
grep -q 'Bild von 1000000 Bytes' "$T/err" || fail "picture size: $(cat "$T/err")"
{ i32 1; i32 600; hinweis ""; i32 2; i32 -4; bytes 6 0; } > "$T/neg.pqb"
expect_rc 2 "$CLI" lib show "$T/neg.pqb"
grep -q 'ungültige Bildgröße -4' "$T/err" || fail "negative picture size: $(cat "$T/err")"
{ i32 -1; } > "$T/count.pqb"
expect_rc 2 "$CLI" lib show "$T/count.pqb"
grep -q 'ungültige Anzahl von Formeln (-1)' "$T/err" || fail "negative count: $(cat "$T/err")"
{ i32 100000; record 'a'; } > "$T/many.pqb"
expect_rc 2 "$CLI" lib show "$T/many.pqb"
[ "$(cat "$T/out")" = "$(printf '0\t0\t0\ta')" ] || fail "impossible count: records before the end"
grep -q 'Anzahl von 100000 Formeln' "$T/err" || fail "impossible count: $(cat "$T/err")"
exit 0
