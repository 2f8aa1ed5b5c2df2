#!/usr/bin/env python3
"""Differential check of the formula evaluator.

Generates random formulas (operators with their precedences, functions, sums,
products and integrals in sequence, nested, and both, with numeric and named bounds),
computes each with `kdformel-cli calc` and independently here with mpmath (30
digits), and compares the result to the digits the program shows.

The reference follows the documented rules of the notation, not the program's code:
a SUMME/PRODUKT runs its variable from the start by 1 up to the first value v with
end <= v + 1E-10; an INTEGRAL is the integral itself (mpmath.quad; the program's
10000-interval trapezoid rule lies far inside the shown digits), shown with 4
significant digits from 10 up, 3 decimals down to 0.1 and 3 significant digits
below. Cases the reference cannot decide safely (a domain edge, an overflow, a
cancellation, a value next to a rounding boundary) are generated anew.

    diff_eval.py --cli build/src/cli/kdformel-cli --cases 300 --seed 1
"""
import argparse
import random
import subprocess
import sys

from mpmath import mp, mpf, quad, sin, cos, tan, atan, asin, acos, log, log10, sqrt, \
    sinh, cosh, tanh, gamma, factorial, cbrt, root, nint, floor

mp.dps = 30


class Skip(Exception):
    """The reference cannot decide this case safely."""


def prüfe(v, groesse):
    if abs(v) >= mpf('1e60'):
        raise Skip('zu groß')
    return v


# ---- expression nodes -------------------------------------------------------------
# Each node: text() with its precedence, and wert(env) -> (value, magnitude), where
# magnitude is the largest intermediate magnitude (to recognise cancellations).

class Zahl:
    prec = 9

    def __init__(self, text):
        self.t = text

    def text(self):
        return '(' + self.t + ')' if self.t.startswith('-') else self.t

    def wert(self, env):
        v = mpf(self.t)
        return v, abs(v)


class Name:
    prec = 9

    def __init__(self, n):
        self.n = n

    def text(self):
        return self.n

    def wert(self, env):
        v = env[self.n]
        return v, abs(v)


class Binaer:
    PREC = {'+': 1, '-': 1, '*': 2, '/': 2, '^': 3}

    def __init__(self, op, a, b):
        self.op, self.a, self.b = op, a, b
        self.prec = self.PREC[op]

    def text(self):
        a, b = self.a.text(), self.b.text()
        p = self.prec
        if self.op == '^':
            # both sides bracketed unless plain atoms
            if self.a.prec < 9:
                a = '(' + a + ')'
            if self.b.prec < 9:
                b = '(' + b + ')'
        else:
            if self.a.prec < p:
                a = '(' + a + ')'
            if self.b.prec < p or (self.b.prec == p and self.op in '-/'):
                b = '(' + b + ')'
        return a + self.op + b

    def wert(self, env):
        (x, gx), (y, gy) = self.a.wert(env), self.b.wert(env)
        g = max(gx, gy)
        if self.op == '+':
            v = x + y
        elif self.op == '-':
            v = x - y
        elif self.op == '*':
            v = x * y
            if abs(v) >= mpf('1e90'):
                raise Skip('Überlauf')
        elif self.op == '/':
            if abs(y) < mpf('1e-6'):
                raise Skip('Division')
            v = x / y
        else:
            if x <= 0:
                raise Skip('Potenz')
            v = x ** y
        g = max(g, abs(v))
        return prüfe(v, g), g


class Klammern:
    """Extra brackets around an expression (deep ones move its steps between a loop's
    body steps)."""
    prec = 9

    def __init__(self, e, n):
        self.e, self.n = e, n

    def text(self):
        return '(' * self.n + self.e.text() + ')' * self.n

    def wert(self, env):
        return self.e.wert(env)


def positiv(e, plus='0.5'):
    """ABS(e)+plus: a positive operand."""
    return Binaer('+', Funktion('ABS', e), Zahl(plus))


class Funktion:
    prec = 9

    def __init__(self, name, arg):
        self.name, self.arg = name, arg

    def text(self):
        return self.name + '(' + self.arg.text() + ')'

    def wert(self, env):
        x, g = self.arg.wert(env)
        n = self.name
        if n == 'ABS':
            v = abs(x)
        elif n == 'SIN':
            v = sin(x)
        elif n == 'COS':
            v = cos(x)
        elif n == 'TAN':
            if abs(cos(x)) < mpf('1e-3'):
                raise Skip('TAN')
            v = tan(x)
        elif n == 'ATN':
            v = atan(x)
        elif n in ('ASN', 'ACS'):
            if abs(x) > 1:
                raise Skip('Arkus')
            v = asin(x) if n == 'ASN' else acos(x)
        elif n in ('SINH', 'COSH', 'TANH'):
            if abs(x) > 20:
                raise Skip('hyperbolisch')
            v = {'SINH': sinh, 'COSH': cosh, 'TANH': tanh}[n](x)
        elif n == 'LN':
            if x <= 0:
                raise Skip('LN')
            v = log(x)
        elif n == 'LOG':
            if x <= 0:
                raise Skip('LOG')
            v = log10(x)
        elif n == 'WURZEL':
            v = sqrt(x)
        elif n == 'WURZEL3':
            v = cbrt(x)
        elif n == 'WURZEL4':
            v = root(x, 4)
        elif n == 'QUADRAT':
            v = x * x
        elif n == 'GAMMA':
            if x >= 35 or x <= 0:
                raise Skip('GAMMA')
            v = gamma(x)
        elif n == 'FAKULT\u00c4T':
            if x != nint(x) or x < 0 or x > 69:
                raise Skip('Fakultät')
            v = factorial(x)
        else:
            raise AssertionError(n)
        g = max(g, abs(v))
        return prüfe(v, g), g


def integral_runden(v):
    """The shown value of an integral: 4 significant digits from 10 up, 3 decimals
    down to 0.1, 3 significant digits below."""
    if v == 0:
        return v
    a = abs(v)
    if a >= 10:
        e = int(floor(log10(a)))
        stellen = 3 - e           # decimals for 4 significant digits
    elif a >= mpf('0.1'):
        stellen = 3
    else:
        e = int(floor(log10(a)))
        stellen = 2 - e
    skala = mpf(10) ** stellen
    x = a * skala
    # next to a rounding boundary the trapezoid rule may round the other way
    if abs(x - floor(x) - mpf('0.5')) < mpf('1e-4'):
        raise Skip('Rundungsgrenze')
    r = floor(x + mpf('0.5')) / skala
    return r if v > 0 else -r


class Schleife:
    prec = 9

    def __init__(self, art, var, start, ende, rumpf):
        self.art, self.var, self.start, self.ende, self.rumpf = art, var, start, ende, rumpf

    def text(self):
        if self.art == 'INTEGRAL':
            r = self.rumpf.text()
            if self.rumpf.prec < 2:
                r = '(' + r + ')'
            r += '*d' + self.var
        else:
            r = self.rumpf.text()
        return '%s(%s=%s;%s;%s)' % (self.art, self.var, self.start.text(), self.ende.text(), r)

    def wert(self, env):
        s, _ = self.start.wert(env)
        e, _ = self.ende.wert(env)
        if e < s:
            raise Skip('Startwert > Endwert')
        if self.art == 'INTEGRAL':
            if e - s < mpf('0.1'):
                raise Skip('kurz')
            groesse = [mpf(0)]

            def f(x):
                env2 = dict(env)
                env2[self.var] = x
                v, g = self.rumpf.wert(env2)
                groesse[0] = max(groesse[0], g)
                return v
            v = quad(f, [s, e])
            g = max(groesse[0] * (e - s), abs(v))
            if abs(v) < mpf('1e-6') * g:
                raise Skip('Auslöschung im Integral')
            return integral_runden(v), g
        produkt = self.art == 'PRODUKT'
        acc = mpf(1) if produkt else mpf(0)
        g = mpf(0)
        v = s
        durchlaeufe = 0
        while True:
            env2 = dict(env)
            env2[self.var] = v
            w, gw = self.rumpf.wert(env2)
            acc = acc * w if produkt else acc + w
            g = max(g, gw, abs(acc))
            prüfe(acc, g)
            durchlaeufe += 1
            if e <= v + mpf('1e-10'):
                break
            v += 1
            if durchlaeufe > 200:
                raise Skip('lang')
        return acc, g


# ---- generator ----------------------------------------------------------------------

FREIE = ['a', 'b', 'c']      # real values
GANZE = ['m', 'n']           # whole values 0..4, for named bounds
LAUF = ['i', 'j', 'k', 'p', 'q', 'r']
INTEGRALVAR = ['x', 't', 'u', 'v']


class Generator:
    def __init__(self, rnd):
        self.r = rnd

    def zahl(self, klein=False):
        r = self.r
        if r.random() < 0.4:
            t = str(r.randint(0 if klein else -3, 5))
        else:
            t = '%.*f' % (r.randint(1, 3), r.uniform(-3, 3) if not klein else r.uniform(0, 3))
        if t.startswith('-') and float(t) == 0:
            t = t[1:]
        return Zahl(t)

    def blatt(self, namen):
        r = self.r
        if namen and r.random() < 0.6:
            return Name(r.choice(namen))
        return self.zahl()

    def ausdruck(self, namen, tiefe, glatt=False):
        """A random expression over the names; glatt: only smooth functions."""
        r = self.r
        if tiefe <= 0 or r.random() < 0.25:
            return self.blatt(namen)
        if r.random() < 0.05:
            return Klammern(self.ausdruck(namen, tiefe - 1, glatt), r.choice([1, 2, 10, 11, 12]))
        wahl = r.random()
        if wahl < 0.45:
            op = r.choice('+-*/' if not glatt else '+-*')
            a = self.ausdruck(namen, tiefe - 1, glatt)
            b = self.ausdruck(namen, tiefe - 1, glatt)
            if op == '/':
                b = positiv(b)
            return Binaer(op, a, b)
        if wahl < 0.55:
            basis = positiv(self.ausdruck(namen, tiefe - 1, glatt)) if not glatt else self.ausdruck(namen, tiefe - 1, glatt)
            exp = Zahl(r.choice(['2', '3'] if glatt else ['2', '3', '0.5', '1.5', '-1', '-2', '0']))
            if glatt:
                basis = positiv(basis, '1')
            return Binaer('^', basis, exp)
        arg = self.ausdruck(namen, tiefe - 1, glatt)
        if glatt:
            return Funktion(r.choice(['SIN', 'COS', 'ATN', 'QUADRAT']), arg)
        f = r.choice(['ABS', 'SIN', 'COS', 'TAN', 'ATN', 'ASN', 'ACS', 'SINH', 'COSH', 'TANH',
                      'LN', 'LOG', 'WURZEL', 'WURZEL3', 'WURZEL4', 'QUADRAT', 'GAMMA', 'FAKULTÄT'])
        if f in ('ASN', 'ACS'):
            arg = Funktion('SIN', arg)
        elif f in ('LN', 'LOG', 'GAMMA'):
            arg = positiv(arg, '0.25')
        elif f in ('WURZEL', 'WURZEL3', 'WURZEL4'):
            arg = Funktion('ABS', arg)
        elif f == 'FAKULTÄT':
            arg = Zahl(str(r.randint(0, 7)))
        return Funktion(f, arg)

    def grenze(self, aussen, klein=True):
        """A bound: a whole number, a whole free variable, or the outer loop's variable."""
        r = self.r
        w = r.random()
        if aussen and w < 0.35:
            return Name(aussen)
        if w < 0.6:
            return Name(r.choice(GANZE))
        return Zahl(str(r.randint(0, 3)))

    def schleife(self, namen, laufvars, innere=None, aussen=None, aussen_art=None):
        r = self.r
        arten = ['SUMME', 'SUMME', 'PRODUKT', 'INTEGRAL']
        if aussen_art == 'INTEGRAL':
            arten.remove('INTEGRAL')  # 10001 x 10001 passes: seconds per case
        art = r.choice(arten)
        if art == 'INTEGRAL':
            var = r.choice([v for v in INTEGRALVAR if v not in laufvars])
        else:
            var = r.choice([v for v in LAUF if v not in laufvars])
        laufvars.append(var)
        start = self.grenze(aussen)
        # the end: a number above every start, or a name
        if r.random() < 0.5:
            ende = Zahl(str(r.randint(4, 7)))
        else:
            ende = Name(r.choice(GANZE + ([aussen] if aussen else [])))
        innen = namen + [var]
        # an integrand (also through a loop inside it) stays smooth: the reference's
        # quadrature and the trapezoid rule agree only there
        rumpf = self.ausdruck(innen, 2, glatt=(art == 'INTEGRAL' or aussen_art == 'INTEGRAL'))
        if art == 'PRODUKT':
            # a factor near 1 keeps the product in range
            rumpf = Binaer('+', Zahl('1'), Binaer('/', rumpf, positiv(Name(var), '2')))
        if innere is not None:
            # an inner loop bounded by an integral's variable would make the integrand
            # a step function, which no quadrature resolves: only sums and products
            # hand their variable down as a bound
            teil = innere(innen, var if art != 'INTEGRAL' else None, art)
            wahl = r.random()
            if wahl < 0.4:
                rumpf = Binaer(r.choice('+-*'), rumpf, teil)
            elif wahl < 0.6 and art != 'INTEGRAL':
                rumpf = Funktion(r.choice(['ABS', 'ATN', 'SIN']), teil)
            else:
                rumpf = teil
        return Schleife(art, var, start, ende, rumpf)

    def formel(self):
        """y=... with loops in one of the arrangements the notation allows: none, one,
        several in sequence, one nested pair (after any others), at most 6 in all."""
        r = self.r
        namen = FREIE + GANZE
        form = r.choice(['keine', 'eine', 'folge', 'verschachtelt', 'beides', 'beides'])
        laufvars = []
        teile = []
        flach = {'keine': 0, 'eine': 1, 'folge': r.randint(2, 3), 'verschachtelt': 0,
                 'beides': r.randint(1, 3)}[form]
        for _ in range(flach):
            teile.append(self.schleife(namen, laufvars))
        if form in ('verschachtelt', 'beides'):
            innere = lambda innen, aussen, art: self.schleife(innen, laufvars, aussen=aussen, aussen_art=art)
            teile.append(self.schleife(namen, laufvars, innere=innere))
        if not teile:
            return Binaer('+', self.ausdruck(namen, 3), self.ausdruck(namen, 2))
        # join the parts in text order, with plain expressions between them
        e = teile[0]
        if r.random() < 0.3:
            e = Binaer(r.choice('+-*'), self.ausdruck(namen, 1), e)
        for t in teile[1:]:
            if r.random() < 0.3:
                t = Binaer('*', self.ausdruck(namen, 1), t)
            e = Binaer(r.choice('+-*'), e, t)
        if r.random() < 0.3:
            e = Binaer(r.choice('+-'), e, self.ausdruck(namen, 1))
        return e


# ---- the comparison ------------------------------------------------------------------

def gezeigt(text):
    """The number the program shows (decimal comma)."""
    return mpf(text.replace(',', '.'))


def toleranz(ref, text):
    """Half a unit of the last digit the display rounds to. The display has about
    10 characters: a fixed number keeps 9 significant digits (8 when negative) and no
    more decimals than fit in 10 characters; the exponent form shows its digits."""
    a = abs(ref)
    if 'E' in text:
        mant, ex = text.split('E')
        ziffern = len(mant.replace('-', '').replace(',', '').lstrip('0')) or 1
        einheit = mpf(10) ** (int(ex) - ziffern + 1)
    else:
        vorz = 1 if ref < 0 else 0
        ganz = len(str(int(a))) if a >= 1 else 1
        dezimalen = max(0, 10 - vorz - ganz - 1)
        sig = 8 if ref < 0 else 9
        e = int(floor(log10(a))) if a > 0 else 0
        einheit = max(mpf(10) ** -dezimalen, mpf(10) ** (e - sig + 1))
    return einheit / 2 * (1 + mpf('1e-9')) + a * mpf('1e-15')


def ein_fall(gen, rnd, cli):
    ausdruck = gen.formel()
    text = 'y=' + ausdruck.text()
    werte = {}
    for n in FREIE:
        werte[n] = '%.*f' % (rnd.randint(0, 3), rnd.uniform(-3, 3))
    for n in GANZE:
        werte[n] = str(rnd.randint(0, 4))
    env = {n: mpf(v) for n, v in werte.items()}
    ref, groesse = ausdruck.wert(env)
    if ref != 0 and not (mpf('1e-3') <= abs(ref) < mpf('1e8')):
        raise Skip('Bereich')
    if abs(ref) < mpf('1e-7') * groesse:
        raise Skip('Auslöschung')
    if len(text.encode('cp1252')) > 255:
        raise Skip('zu lang')
    args = [cli, 'calc', text] + ['%s=%s' % kv for kv in werte.items()]
    p = subprocess.run(args, capture_output=True, text=True, timeout=120)
    ausgabe = p.stdout.strip()
    if p.returncode == 2 and 'Anzahl Summenfunktion' in p.stderr:
        raise Skip('Anordnung')  # should not happen: the generator keeps to the rules
    if p.returncode == 2 and 'Fehler in Formel' in p.stderr:
        # refused by the parser: only the limit of 80 terms may do that here
        q = subprocess.run([cli, 'parse', text] + list(werte), capture_output=True, text=True)
        if 'Fehler 6:' in q.stdout + q.stderr:
            raise Skip('zu viele Elemente')
    if p.returncode != 0 or '=' not in ausgabe:
        return text, werte, ref, ausgabe or p.stderr.strip(), False
    wert_text = ausgabe.rsplit('=', 1)[1]
    try:
        w = gezeigt(wert_text)
    except Exception:
        return text, werte, ref, ausgabe, False
    ok = abs(w - ref) <= toleranz(ref, wert_text)
    return text, werte, ref, ausgabe, ok


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--cli', default='build/src/cli/kdformel-cli')
    ap.add_argument('--cases', type=int, default=300)
    ap.add_argument('--seed', type=int, default=1)
    ap.add_argument('--verbose', action='store_true')
    a = ap.parse_args()
    rnd = random.Random(a.seed)
    gen = Generator(rnd)
    geprueft = fehler = versuche = 0
    schleifen = 0
    while geprueft < a.cases:
        versuche += 1
        if versuche > a.cases * 20:
            print('zu viele verworfene Fälle: %d geprüft' % geprueft)
            return 1
        try:
            text, werte, ref, ausgabe, ok = ein_fall(gen, rnd, a.cli)
        except Skip:
            continue
        geprueft += 1
        if any(k in text for k in ('SUMME(', 'PRODUKT(', 'INTEGRAL(')):
            schleifen += 1
        if a.verbose:
            print(text, werte, mp.nstr(ref, 15), ausgabe)
        if not ok:
            fehler += 1
            print('ABWEICHUNG: %s %s\n  Referenz %s\n  Programm  %s' % (
                text, ' '.join('%s=%s' % kv for kv in werte.items()), mp.nstr(ref, 20), ausgabe))
    print('%d Fälle geprüft (%d mit Schleifen, %d verworfen), %d Abweichungen' % (
        geprueft, schleifen, versuche - geprueft, fehler))
    return 1 if fehler else 0


if __name__ == '__main__':
    sys.exit(main())
