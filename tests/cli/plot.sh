#!/usr/bin/env bash
# plot: the value table equals calc at the same inputs, gaps where calc reports an
# error, the CSV reads back with Python's csv module, the pictures are real files, and
# bad arguments are refused.
. "$(dirname "$0")/lib_common.inc"

# Every tabulated point against `calc` with the same values; gaps exactly where calc
# gives an evaluator message. Also checks the CSV form: UTF-8 with BOM, ";", decimal comma.
check_table() {  # formula, x name, range, other NAME=VALUE ...
    local text="$1" x="$2" range="$3"; shift 3
    expect_rc 0 "$CLI" plot "$text" --x "$x=$range" "$@" -o "$T/t.csv"
    python3 - "$CLI" "$T/t.csv" "$text" "$x" "$@" <<'EOF' || fail "table of $text"
import csv, subprocess, sys, math
cli, path, text, x, *werte = sys.argv[1:]
raw = open(path, 'rb').read()
assert raw.startswith(b'\xef\xbb\xbf'), 'no byte order mark'
assert b'\r\n' in raw
with open(path, encoding='utf-8-sig', newline='') as f:
    rows = list(csv.reader(f, delimiter=';'))
head, body = rows[0], rows[1:]
assert len(head) >= 2, head
assert all(len(r) == len(head) for r in body)
def num(s): return float(s.replace(',', '.'))
def half_unit(s):
    # calc prints at most 10 characters: half a unit of its last printed digit.
    m, _, e = s.upper().partition('E')
    d = len(m.split(',')[1]) if ',' in m else 0
    return 0.51 * 10.0 ** ((int(e) if e else 0) - d)
gaps = 0
for r in body:
    for col in range(1, len(head)):
        cmd = [cli, 'calc', text, f'{x}={r[0]}', *werte]
        if len(head) > 2:
            cmd += ['--part', str(col)]
        p = subprocess.run(cmd, capture_output=True, text=True)
        if r[col] == '':
            gaps += 1
            assert p.returncode == 1, (r, p.stdout, p.stderr)
            continue
        assert p.returncode == 0, (r, p.stdout, p.stderr)
        shown = p.stdout.strip().split('=')[-1]
        want, got = num(shown), num(r[col])
        assert abs(got - want) <= half_unit(shown), (r[0], got, shown)
print(len(body), 'rows,', gaps, 'gaps', file=sys.stderr)
EOF
}

check_table 'y=SIN(x)' x '0:6,283185307179586:41'
check_table 's=v|0*t+a/2*t^2' t '0:10:21' 'v|0=2,5' 'a=9,81'
check_table 'y=1/x+WURZEL(x)' x '-2:2:21'
check_table 'y=LN(x)*x' x '0:3:13'
check_table 'y=(a+b)^2:y=a^2+2*a*b+b^2' a '-3:3:13' b=1
check_table 's=SUMME(k=1;n;k^2)' n '1:20:20'
check_table 'W=INTEGRAL(x=0;s;D*x*dx)' s '0:2:5' D=3
check_table 'T=2*~p*WURZEL(l/g|n)' l '-1:4:11'
check_table 'I=INTEGRAL(t=0;x;e^(-t^2)*dt)' x '-1:3:9'

# The values against an independent reference, and the gaps of a pole.
expect_rc 0 "$CLI" plot 'y=TAN(x)' --x 'x=-1,5:1,5:13' -o "$T/tan.csv"
expect_rc 0 "$CLI" plot 'y=1/(x-1)' --x 'x=0:2:5' -o "$T/pol.csv"
python3 - "$T" <<'EOF' || fail "reference values"
import csv, sys, mpmath
T = sys.argv[1]
def rows(n):
    with open(f'{T}/{n}', encoding='utf-8-sig', newline='') as f:
        return list(csv.reader(f, delimiter=';'))[1:]
for x, y in rows('tan.csv'):
    if y == '':
        continue
    xv = mpmath.mpf(x.replace(',', '.'))
    assert mpmath.almosteq(mpmath.tan(xv), mpmath.mpf(y.replace(',', '.')), rel_eps=1e-12), (x, y)
pol = rows('pol.csv')
assert [r[1] for r in pol] == ['-1', '-2', '', '2', '1'], pol
EOF

# A logarithmic x-axis: evenly spaced on the log scale.
expect_rc 0 "$CLI" plot 'y=x' --x 'x=1:1000:4' --log-x -o "$T/log.csv"
python3 - "$T/log.csv" <<'EOF' || fail "log abscissas"
import csv, sys, math
with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:
    xs = [float(r[0].replace(',', '.')) for r in list(csv.reader(f, delimiter=';'))[1:]]
assert all(math.isclose(a, b, rel_tol=1e-12) for a, b in zip(xs, [1, 10, 100, 1000])), xs
EOF

# Pictures: SVG parses as XML and holds the axis texts in German format, PNG has the
# print resolution, PDF has a page.
expect_rc 0 "$CLI" plot 'y=x/4' --x 'x=0:2' -o "$T/p.svg"
python3 - "$T/p.svg" <<'EOF' || fail "svg"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
texts = [t.text.strip() for t in root.iter() if t.tag.endswith('text') and t.text and t.text.strip()]
assert '0,5' in texts and '1,5' in texts, texts
assert not any('.' in t and t.replace('.', '').isdigit() for t in texts), texts
EOF
expect_rc 0 "$CLI" plot 'y=x/4' --x 'x=0:2' -o "$T/p.png"
python3 - "$T/p.png" <<'EOF' || fail "png"
import struct, sys
d = open(sys.argv[1], 'rb').read()
assert d[:8] == b'\x89PNG\r\n\x1a\n'
w, h = struct.unpack('>II', d[16:24])
assert w >= 2000 and h >= 1200, (w, h)
i = d.find(b'pHYs')
ppm = struct.unpack('>I', d[i + 4:i + 8])[0]
assert abs(ppm * 0.0254 - 300) < 1, ppm
EOF
expect_rc 0 "$CLI" plot 'y=x/4' --x 'x=0:2' -o "$T/p.pdf"
if command -v pdftoppm >/dev/null; then
    pdftoppm -r 50 -png "$T/p.pdf" "$T/seite" || fail "pdf not readable"
    [ -s "$T/seite-1.png" ] || fail "pdf has no page"
fi

# Refusals.
expect_rc 2 "$CLI" plot 'y=a*x' --x 'x=0:1' -o "$T/r.csv"
grep -q 'a' "$T/err" || fail "missing value not named"
expect_rc 1 "$CLI" plot 'y=x' --x 'x=0' -o "$T/r.csv"
expect_rc 1 "$CLI" plot 'y=x' --x 'x=1:1' -o "$T/r.csv"
expect_rc 1 "$CLI" plot 'y=x' --x 'x=0:1:1' -o "$T/r.csv"
expect_rc 1 "$CLI" plot 'y=x' --x 'x=0:1' --log-x -o "$T/r.csv"
expect_rc 1 "$CLI" plot 'y=x' --x 'z=0:1' -o "$T/r.csv"
expect_rc 1 "$CLI" plot 'y=x+' --x 'x=0:1' -o "$T/r.csv"
expect_rc 1 "$CLI" plot 'y=x' --x 'x=0:1' -o "$T/r.txt"
expect_rc 1 "$CLI" plot 'y=x' --x 'x=0:1'
[ ! -e "$T/r.csv" ] || fail "a refused plot wrote a file"
expect_rc 2 "$CLI" plot 'y=x' --x 'x=0:1' -o "$T/kein/ordner.csv"
expect_rc 2 "$CLI" plot 'y=x' --x 'x=0:1' -o "$T/kein/ordner.svg"
exit 0
