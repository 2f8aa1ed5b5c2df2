#!/usr/bin/env bash
# Input the lib commands refuse (exit 1) and files they cannot use (exit 2).
. "$(dirname "$0")/lib_common.inc"

"$CLI" lib new "$T" A >/dev/null || fail "setup"
expect_rc 0 "$CLI" lib add "$T/A.pqb" 'a'
before="$(hex "$T/A.pqb")"

expect_rc 1 "$CLI" lib add "$T/A.pqb" 'Ω=2·π'
grep -q 'Windows-1252' "$T/err" || fail "no Windows-1252 reason: $(cat "$T/err")"
expect_rc 1 "$CLI" lib add "$T/A.pqb" "$(head -c 256 /dev/zero | tr '\0' x)"
grep -q '255' "$T/err" || fail "no length reason: $(cat "$T/err")"
expect_rc 0 "$CLI" lib add "$T/A.pqb" "$(head -c 255 /dev/zero | tr '\0' x)"  # 255 is fine
expect_rc 0 "$CLI" lib delete "$T/A.pqb" 1
expect_rc 1 "$CLI" lib add "$T/A.pqb" "$(printf 'a\nb')"
expect_rc 1 "$CLI" lib add "$T/A.pqb" 'b' --at 5
expect_rc 1 "$CLI" lib add "$T/A.pqb" 'b' --at -1
expect_rc 1 "$CLI" lib add "$T/A.pqb" 'b' --at zwei
expect_rc 1 "$CLI" lib add "$T/A.pqb"
expect_rc 1 "$CLI" lib add "$T/A.pqb" 'b' --gibtsnicht
expect_rc 1 "$CLI" lib delete "$T/A.pqb" 1
expect_rc 1 "$CLI" lib delete "$T/A.pqb" x
expect_rc 1 "$CLI" lib new "$T" ''
expect_rc 1 "$CLI" lib new "$T" '.versteckt'
expect_rc 1 "$CLI" lib new "$T" 'Ω'
expect_rc 1 "$CLI" lib gibtsnicht
[ "$(hex "$T/A.pqb")" = "$before" ] || fail "a refused command changed the file"

expect_rc 2 "$CLI" lib show "$T/fehlt.pqb"
grep -q 'Fehler beim Lesen der Formelsammlung ".*fehlt.pqb": Datei kann nicht geöffnet werden' "$T/err" \
    || fail "message: $(cat "$T/err")"
expect_rc 2 "$CLI" lib add "$T/fehlt.pqb" 'x'
[ ! -e "$T/fehlt.pqb" ] || fail "add created a missing file"
# A folder whose parent is a regular file cannot hold the library.
expect_rc 2 "$CLI" lib new "$T/A.pqb" B
grep -q 'Fehler beim Speichern der Formelsammlung' "$T/err" || fail "save message: $(cat "$T/err")"
exit 0
