#!/usr/bin/env bash
# export: every formula of both example libraries and of the construct table
# (export_formeln.txt) is exported as LaTeX and read by KaTeX, and as MathML and read
# by an XML parser with the MathML structure checked; the fractions, roots and sum
# signs KaTeX finds in the LaTeX must be those of the MathML. The web page and the
# LaTeX document of a library are checked the same way.
. "$(dirname "$0")/lib_common.inc"
SRC="$(cd "$(dirname "$0")/../.." && pwd)"
HIER="$SRC/tests/cli"
command -v node >/dev/null || fail "node is missing (scripts/deps.txt: nodejs)"
command -v python3 >/dev/null || fail "python3 is missing"

for quelle in "$SRC"/resources/libraries/*.txt "$HIER/export_formeln.txt"; do
    n="$(basename "$quelle" .txt)"
    expect_rc 0 "$CLI" lib build "$quelle" "$T/$n.pqb"
    formeln=$(grep -cv '^\(#.*\)\?$' "$quelle")
    expect_rc 0 "$CLI" export --latex "$T/$n.pqb"; cp "$T/out" "$T/$n.tex"
    expect_rc 0 "$CLI" export --mathml "$T/$n.pqb"; cp "$T/out" "$T/$n.mml"
    [ "$(wc -l < "$T/$n.tex")" -eq "$formeln" ] || fail "$n: not $formeln LaTeX lines"
    [ "$(wc -l < "$T/$n.mml")" -eq "$formeln" ] || fail "$n: not $formeln MathML lines"
    node "$HIER/export_katex.js" "$T/$n.tex" > "$T/$n.katex" || fail "$n: KaTeX refuses a formula"
    python3 "$HIER/export_mathml.py" "$T/$n.mml" "$T/$n.katex" >/dev/null || fail "$n: MathML check"
done

# One formula from the command line, as a condition too; a bad one is refused.
expect_rc 0 "$CLI" export --latex --formula 'E|k|i|n=m/2*v^2'
[ "$(cat "$T/out")" = 'E_{\mathrm{kin}} = \frac{m}{2} \cdot v^{2}' ] || fail "latex: $(cat "$T/out")"
expect_rc 0 "$CLI" export --latex --condition --formula 'a<=b;oder;c<>d'
[ "$(cat "$T/out")" = '\begin{gathered} a \le b \\ \text{oder} \\ c \ne d \end{gathered}' ] ||
    fail "condition: $(cat "$T/out")"
expect_rc 1 "$CLI" export --mathml --formula 'y=(a+b'
grep -q 'Klammer ) fehlt' "$T/err" || fail "no parser message: $(cat "$T/err")"
expect_rc 1 "$CLI" export --formula 'y=x'
expect_rc 1 "$CLI" export --html --formula 'y=x'
expect_rc 2 "$CLI" export --latex "$T/fehlt.pqb"

# A library with a formula that does not parse: its line stays empty, exit 1.
expect_rc 0 "$CLI" lib new "$T" gemischt
expect_rc 0 "$CLI" lib add "$T/gemischt.pqb" 'y=x^2'
expect_rc 0 "$CLI" lib add "$T/gemischt.pqb" 'y=(a'
expect_rc 1 "$CLI" export --latex "$T/gemischt.pqb"
[ "$(sed -n 1p "$T/out")" = 'y = x^{2}' ] && [ -z "$(sed -n 2p "$T/out")" ] || fail "mixed: $(cat "$T/out")"
grep -q 'Formel 1' "$T/err" || fail "mixed: no message for formula 1"

# The web page: UTF-8, German, one <math> per formula with its notation as alttext;
# each <math> is read by the checker and its heading is the legend.
expect_rc 0 "$CLI" export --html "$T/Physik.pqb" -o "$T/Physik.html"
python3 - "$T/Physik.html" "$HIER/export_mathml.py" "$SRC/resources/libraries/Physik.txt" <<'PY' || fail "html page"
import html, re, subprocess, sys
seite = open(sys.argv[1], encoding="utf-8").read()
assert seite.startswith("<!DOCTYPE html>\n<html lang=\"de\">"), "head"
assert '<meta charset="utf-8">' in seite and "<h1>Physik</h1>" in seite
maths = re.findall(r"<math .*?</math>", seite)
quellen = [z for z in open(sys.argv[3], encoding="utf-8").read().splitlines() if z and not z.startswith("#")]
assert len(maths) == len(quellen), (len(maths), len(quellen))
for m, q in zip(maths, quellen):
    alt = html.unescape(re.search(r'alttext="([^"]*)"', m).group(1))
    assert alt == q, (alt, q)
titel = re.findall(r"<h2>(.*?)</h2>", seite)
assert "Kinetische Energie" in titel and "Wärmemenge" in titel, titel
open(sys.argv[1] + ".mml", "w", encoding="utf-8").write("\n".join(maths) + "\n")
subprocess.run([sys.executable, sys.argv[2], sys.argv[1] + ".mml"], check=True, stdout=subprocess.DEVNULL)
PY

# The LaTeX document: article with amsmath, a section per formula, and every
# equation body read by KaTeX.
expect_rc 0 "$CLI" export --latex "$T/Mathematik.pqb" -o "$T/dokument.tex"
head -1 "$T/dokument.tex" | grep -qx '\\documentclass{article}' || fail "no documentclass"
grep -qx '\\usepackage{amsmath}' "$T/dokument.tex" || fail "no amsmath"
grep -qx '\\section\*{Satz des Pythagoras}' "$T/dokument.tex" || fail "no heading"
tail -1 "$T/dokument.tex" | grep -qx '\\end{document}' || fail "no end"
awk '/^\\begin\{equation\*\}$/{getline; print}' "$T/dokument.tex" > "$T/gleichungen"
[ "$(wc -l < "$T/gleichungen")" -eq "$(grep -cv '^\(#.*\)\?$' "$SRC/resources/libraries/Mathematik.txt")" ] ||
    fail "not one equation per formula"
node "$HIER/export_katex.js" "$T/gleichungen" > /dev/null || fail "KaTeX refuses an equation of the document"

# Pictures: a library with a bitmap (written by hand) and a metafile. The page embeds
# the bitmap as a JPEG data URI; the document writes the same JPEG beside itself; the
# metafile is reported.
python3 - "$T/bilder.pqb" <<'PY'
import struct, sys
def bmp(w, h):
    zeile = bytes([30, 30, 200] * w) + bytes((4 - 3 * w % 4) % 4)
    daten = zeile * h
    return (b"BM" + struct.pack("<IHHI", 54 + len(daten), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(daten), 2835, 2835, 0, 0) + daten)
def satz(text, typ=0, bild=b""):
    hinweis = bytes([7]) + b"KALDORA" + bytes(33)
    s = struct.pack("<i", 600) + hinweis + struct.pack("<i", typ)
    if typ > 0:
        s += struct.pack("<i", len(bild)) + bild
    return s + bytes([6, len(text)]) + text.encode("cp1252")
open(sys.argv[1], "wb").write(struct.pack("<i", 2) + satz("F=m*a {Kraft}", 2, bmp(6, 4)) +
                              satz("p=m*v", 3, b"\x01\x00\x09\x00"))
PY
expect_rc 0 "$CLI" export --html "$T/bilder.pqb" -o "$T/bilder.html"
grep -q 'Formel 2: das Bild ist eine Windows-Metadatei' "$T/err" || fail "no note on the metafile: $(cat "$T/err")"
mkdir -p "$T/dok"
expect_rc 0 "$CLI" export --latex "$T/bilder.pqb" -o "$T/dok/bilder.tex"
grep -qx '\\includegraphics\[width=0.6\\linewidth,keepaspectratio\]{bilder-bild-1.jpg}' "$T/dok/bilder.tex" ||
    fail "no picture in the document"
python3 - "$T/bilder.html" "$T/dok/bilder-bild-1.jpg" <<'PY' || fail "pictures"
import base64, re, sys
seite = open(sys.argv[1], encoding="utf-8").read()
bilder = re.findall(r'<img src="data:image/jpeg;base64,([A-Za-z0-9+/=]+)"', seite)
assert len(bilder) == 1, len(bilder)
jpeg = open(sys.argv[2], "rb").read()
assert jpeg[:3] == b"\xff\xd8\xff" and jpeg[-2:] == b"\xff\xd9", "no JPEG file"
assert base64.b64decode(bilder[0]) == jpeg, "page and document differ"
# The frame header holds the bitmap's size: 4 rows of 6 pixels.
i = jpeg.index(b"\xff\xc0")
assert jpeg[i + 5:i + 9] == bytes([0, 4, 0, 6]), jpeg[i + 5:i + 9]
PY
echo "ok"
