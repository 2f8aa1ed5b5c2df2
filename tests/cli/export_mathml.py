"""Checks exported MathML, one <math> element per line of the file named first, with an
XML parser: the namespace, display="block", every element a presentation element with
the number of children MathML requires, token elements without child elements, numbers
as the notation writes them. With a second file (the KaTeX counts of the same formulas'
LaTeX, from export_katex.js) the fractions, roots and under-over signs of both exports
must agree."""
import re
import sys
import xml.etree.ElementTree as ET

NS = "{http://www.w3.org/1998/Math/MathML}"
GENAU = {"mfrac": 2, "msup": 2, "msub": 2, "msubsup": 3, "munderover": 3, "munder": 2,
         "mover": 2, "mroot": 2}
TOKEN = {"mi", "mn", "mo", "mtext"}
ERLAUBT = GENAU.keys() | TOKEN | {"math", "mrow", "msqrt", "mtable", "mtr", "mtd", "mspace"}
ZAHL = re.compile(r"^[0-9]*([,.][0-9]*)?([Ee][-+]?[0-9]+)?%?$")


def pruefen(nr, zeile):
    def fehler(text):
        sys.exit(f"line {nr}: {text}\n  {zeile}")

    try:
        wurzel = ET.fromstring(zeile)
    except ET.ParseError as e:
        fehler(f"not XML: {e}")
    if wurzel.tag != NS + "math" or wurzel.get("display") != "block":
        fehler("root is not <math display=\"block\"> in the MathML namespace")
    zaehler = {}
    for e in wurzel.iter():
        if not e.tag.startswith(NS):
            fehler(f"element outside the MathML namespace: {e.tag}")
        name = e.tag[len(NS):]
        zaehler[name] = zaehler.get(name, 0) + 1
        kinder = list(e)
        if name not in ERLAUBT:
            fehler(f"unexpected element <{name}>")
        if name in GENAU and len(kinder) != GENAU[name]:
            fehler(f"<{name}> has {len(kinder)} children instead of {GENAU[name]}")
        if name in TOKEN:
            if kinder:
                fehler(f"token element <{name}> has child elements")
            if name != "mtext" and not (e.text or "").strip():
                fehler(f"empty <{name}>")
        if name == "mn" and not ZAHL.match(e.text.strip()):
            fehler(f"<mn>{e.text}</mn> is no number")
        if name == "msqrt" and not kinder:
            fehler("<msqrt> without content")
        if name == "mtable" and any(k.tag != NS + "mtr" for k in kinder):
            fehler("<mtable> with a child other than <mtr>")
        if name == "mtr" and any(k.tag != NS + "mtd" for k in kinder):
            fehler("<mtr> with a child other than <mtd>")
        if name == "mspace" and (kinder or e.text):
            fehler("<mspace> is not empty")
    return zaehler


def main():
    zeilen = open(sys.argv[1], encoding="utf-8").read().splitlines()
    katex = open(sys.argv[2]).read().splitlines() if len(sys.argv) > 2 else None
    if katex is not None and len(katex) != len(zeilen):
        sys.exit(f"{len(zeilen)} MathML lines but {len(katex)} KaTeX lines")
    for nr, zeile in enumerate(zeilen, 1):
        z = pruefen(nr, zeile)
        if katex is None:
            continue
        unsere = [z.get(t, 0) for t in ("mfrac", "msqrt", "mroot", "munderover")]
        ihre = [int(x) for x in katex[nr - 1].split()]
        if unsere != ihre:
            sys.exit(f"line {nr}: fractions, roots, sum signs {unsere} in the MathML but "
                     f"{ihre} in KaTeX's reading of the LaTeX\n  {zeile}")
    print(f"{len(zeilen)} formulas checked")


if __name__ == "__main__":
    main()
