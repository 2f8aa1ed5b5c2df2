#!/usr/bin/env bash
# lib new / add / show / delete: the normal work and the exit codes.
. "$(dirname "$0")/lib_common.inc"

expect_rc 0 "$CLI" --help
grep -q '^  lib ' "$T/out" || fail "--help does not list lib"
expect_rc 0 "$CLI" lib --help
grep -q 'INDEX<TAB>BILDTYP<TAB>BILDGROESSE<TAB>FORMELTEXT' "$T/out" || fail "lib --help lacks the show format"
expect_rc 1 "$CLI"
expect_rc 1 "$CLI" gibtsnicht

# new: an empty library is the four bytes 00 00 00 00; the name is cut at the first dot.
expect_rc 0 "$CLI" lib new "$T" Mechanik
[ "$(hex "$T/Mechanik.pqb")" = "00000000" ] || fail "new library is not 00 00 00 00"
expect_rc 0 "$CLI" lib new "$T" Optik.alt
[ -f "$T/Optik.pqb" ] || fail "dot cut: Optik.pqb missing"
expect_rc 1 "$CLI" lib new "$T" Mechanik          # exists
grep -q 'force' "$T/err" || fail "refusal does not mention --force"
expect_rc 0 "$CLI" lib add "$T/Mechanik.pqb" 'x=1'
expect_rc 0 "$CLI" lib new "$T" Mechanik --force
[ "$(hex "$T/Mechanik.pqb")" = "00000000" ] || fail "--force did not write an empty library"
expect_rc 2 "$CLI" lib new "$T/fehlt" A            # no such folder

# add, with and without --at; ".pqb" is appended to a file name without a dot.
expect_rc 0 "$CLI" lib add "$T/Mechanik" 'F=m*a {Kraft}'
expect_rc 0 "$CLI" lib add "$T/Mechanik.pqb" 'p=m*v'
expect_rc 0 "$CLI" lib add "$T/Mechanik.pqb" 'E=m*c^2' --at 0
expect_rc 0 "$CLI" lib add "$T/Mechanik.pqb" --at=2 'W=F*s'
expect_rc 0 "$CLI" lib add "$T/Mechanik.pqb" -- '-a=b'
expect_rc 0 "$CLI" lib show "$T/Mechanik.pqb"
printf '0\t0\t0\tE=m*c^2\n1\t0\t0\tF=m*a {Kraft}\n2\t0\t0\tW=F*s\n3\t0\t0\tp=m*v\n4\t0\t0\t-a=b\n' > "$T/want"
cmp -s "$T/out" "$T/want" || fail "show: $(cat "$T/out")"
# Each record without picture is 4 + 41 + 4 + 2 + L bytes.
[ "$(size "$T/Mechanik.pqb")" -eq $((4 + 5 * 51 + 7 + 13 + 5 + 5 + 4)) ] || fail "file size"

# delete
expect_rc 0 "$CLI" lib delete "$T/Mechanik.pqb" 1
expect_rc 0 "$CLI" lib delete "$T/Mechanik.pqb" 3
expect_rc 0 "$CLI" lib show "$T/Mechanik.pqb"
printf '0\t0\t0\tE=m*c^2\n1\t0\t0\tW=F*s\n2\t0\t0\tp=m*v\n' > "$T/want"
cmp -s "$T/out" "$T/want" || fail "after delete: $(cat "$T/out")"

# Umlauts: UTF-8 on the terminal, Windows-1252 in the file.
expect_rc 0 "$CLI" lib new "$T" "Übungen"
[ -f "$T/Übungen.pqb" ] || fail "UTF-8 file name"
expect_rc 0 "$CLI" lib add "$T/Übungen.pqb" 'Größe=µ·2'
hex "$T/Übungen.pqb" | grep -q "$(printf 'Gr\366\337e=\265\2672' | od -An -tx1 | tr -d ' \n')" \
    || fail "text not stored in Windows-1252"
expect_rc 0 "$CLI" lib show "$T/Übungen.pqb"
[ "$(cat "$T/out")" = "$(printf '0\t0\t0\tGröße=µ·2')" ] || fail "show umlauts: $(cat "$T/out")"

# No temporary files are left in the folder.
[ -z "$(ls -A "$T" | grep '^\.')" ] || fail "hidden files left: $(ls -A "$T")"
exit 0
