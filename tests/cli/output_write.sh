#!/usr/bin/env bash
# render and print writing their files: a write that fails (the file-size limit of the
# process, a full disk) ends with exit 2 and a message and leaves no partial file; an
# older file of that name stays as it was.
. "$(dirname "$0")/lib_common.inc"

"$CLI" render --formula 'y=x' -o "$T/probe.svg" >"$T/out" 2>"$T/err"
if grep -q "braucht Qt" "$T/err"; then
    echo "render: built without Qt, skipped"
    exit 0
fi
for i in $(seq 1 40); do echo "y=a/b+$i {Formel $i}"; done > "$T/lang.txt"
expect_rc 0 "$CLI" lib build "$T/lang.txt" "$T/Lang.pqb"

# Runs the tool with a file-size limit of 4 KiB; the signal is ignored, so a write fails
# with EFBIG as it would on a full disk.
limited() { ( trap '' XFSZ; ulimit -f 4; "$@" ); }

for ext in png svg pdf; do
    printf 'alt' > "$T/r.$ext"
    limited "$CLI" render --formula 'y=SUMME(i=1;n;(a_i+b_i)^2/WURZEL(x|3))' --zoom 4 -o "$T/r.$ext" \
        >"$T/out" 2>"$T/err"
    rc=$?
    [ "$rc" -eq 2 ] || fail "render .$ext over the size limit: exit $rc ($(cat "$T/err"))"
    grep -q "Datei zu gro" "$T/err" || fail "render .$ext: the reason is not named: $(cat "$T/err")"
    [ "$(cat "$T/r.$ext")" = alt ] || fail "render .$ext: the old file was replaced by a partial one"
    # Without the limit the same command succeeds and replaces the file.
    expect_rc 0 "$CLI" render --formula 'y=SUMME(i=1;n;(a_i+b_i)^2/WURZEL(x|3))' --zoom 4 -o "$T/r.$ext"
    [ "$(size "$T/r.$ext")" -gt 4096 ] || fail "render .$ext: the file is too small for the test"
done

limited "$CLI" print "$T/Lang.pqb" -o "$T/p.pdf" >"$T/out" 2>"$T/err"
rc=$?
[ "$rc" -eq 2 ] || fail "print over the size limit: exit $rc ($(cat "$T/err"))"
grep -q "Datei zu gro" "$T/err" || fail "print: the reason is not named: $(cat "$T/err")"
[ ! -e "$T/p.pdf" ] || fail "print left a partial file"
[ -z "$(ls -A "$T" | grep -E '^\.kdformel-')" ] || fail "a temporary file was left"
expect_rc 0 "$CLI" print "$T/Lang.pqb" -o "$T/p.pdf"
[ "$(size "$T/p.pdf")" -gt 4096 ] || fail "print: the file is too small for the test"
echo ok
