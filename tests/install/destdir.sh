#!/usr/bin/env bash
# A staged installation (cmake --install with DESTDIR) under a prefix of its own: every
# file in its place and nothing else, the desktop entry names the installed program, no
# path into the build tree, and the installed tool and program find their Qt module and
# example libraries under the prefix.
# Arguments: BUILD_DIR CMAKE DOCDIR [ORDNER_PROBE]; without the probe (a build without
# tests) the program's own folders are not checked.
set -u
BUILD="$1" CMAKE="$2" DOCDIR="$3" PROBE="${4:-}"
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
T="$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/kdformel-install-test.XXXXXX")")"
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

PREFIX=/opt/kdformel-staged
D="$T/stage"
R="$D$PREFIX"
DESTDIR="$D" "$CMAKE" --install "$BUILD" --prefix "$PREFIX" > "$T/install.log" 2>&1 ||
    fail "cmake --install: $(cat "$T/install.log")"

# Every file, and only these, under the prefix.
{
    printf '%s\n' bin/kdformel bin/kdformel-cli lib/kdformel/kdformel-cli-qt.so \
        share/applications/kdformel.desktop share/mime/packages/kdformel.xml \
        share/icons/hicolor/scalable/apps/kdformel.svg \
        share/icons/hicolor/scalable/mimetypes/application-x-kdformel-library.svg \
        "$DOCDIR/copyright" "$DOCDIR/changelog.gz" \
        share/man/man1/kdformel.1.gz share/man/man1/kdformel-cli.1.gz
    for f in "$SRC"/resources/help/*.html; do echo "$DOCDIR/hilfe/$(basename "$f")"; done
    for f in "$SRC"/resources/libraries/*.txt; do
        echo "share/kdformel/libraries/$(basename "$f" .txt).pqb"
    done
} | sed "s|^|$PREFIX/|" | sort > "$T/expected"
(cd "$D" && find . ! -type d | sed 's|^\.||' | sort) > "$T/found"
diff "$T/expected" "$T/found" > "$T/diff" || fail "installed files differ (< missing, > extra):
$(cat "$T/diff")"

grep -qxF "Exec=\"$PREFIX/bin/kdformel\" %f" "$R/share/applications/kdformel.desktop" ||
    fail "desktop entry: $(grep Exec "$R/share/applications/kdformel.desktop")"
gzip -t "$R/$DOCDIR/changelog.gz" || fail "changelog.gz is no gzip file"

# No run path into the build tree (or anywhere): the libraries come from the system.
for f in bin/kdformel bin/kdformel-cli lib/kdformel/kdformel-cli-qt.so; do
    ! readelf -d "$R/$f" | grep -E 'RPATH|RUNPATH' || fail "$f carries a run path"
done

# The installed tool reads an installed example library ...
CLI="$R/bin/kdformel-cli"
"$CLI" lib show "$R/share/kdformel/libraries/Mathematik.pqb" > "$T/out" 2> "$T/err" ||
    fail "lib show: $(cat "$T/err")"
[ "$(wc -l < "$T/out")" -ge 25 ] || fail "Mathematik.pqb: $(wc -l < "$T/out") formulas"
# ... and loads its Qt module from lib/kdformel: the layout is measured like the screen
# (not with the fixed metrics it falls back to, saying so on stderr) and render works.
"$CLI" layout 'y=x^2/z' > "$T/qt" 2> "$T/err" || fail "layout: $(cat "$T/err")"
! grep -q 'Qt-Modul' "$T/err" || fail "layout: $(cat "$T/err")"
"$CLI" layout --fixed-metrics 'y=x^2/z' > "$T/fest" || fail "layout --fixed-metrics"
! cmp -s "$T/qt" "$T/fest" || fail "layout used fixed metrics"
"$CLI" render --formula 'y=WURZEL(x)' -o "$T/f.svg" 2> "$T/err" || fail "render: $(cat "$T/err")"
grep -q '<svg' "$T/f.svg" || fail "render wrote no SVG"

[ -n "$PROBE" ] || exit 0
# The program, started from the installed bin folder for the first time, takes its
# example libraries from share/kdformel/libraries and copies them into the user's
# new library folder.
cp "$PROBE" "$R/bin/ordner-probe"
env -u KDFORMEL_HOME HOME="$T/home" XDG_DATA_HOME="$T/xdg" "$R/bin/ordner-probe" > "$T/out" 2> "$T/err" ||
    fail "program folders: $(cat "$T/err")"
[ "$(sed -n 1p "$T/out")" = "$R/share/kdformel/libraries" ] ||
    fail "example libraries taken from '$(sed -n 1p "$T/out")'"
[ "$(sed -n 2p "$T/out")" = "$T/xdg/KDFormel/Formelsammlung" ] ||
    fail "library folder '$(sed -n 2p "$T/out")'"
for f in "$R"/share/kdformel/libraries/*.pqb; do
    cmp -s "$f" "$T/xdg/KDFormel/Formelsammlung/$(basename "$f")" ||
        fail "$(basename "$f") not seeded into the new library folder"
done
exit 0
