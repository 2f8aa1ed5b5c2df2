#!/usr/bin/env bash
# excel: worksheet formulas in the notation of a German spreadsheet. Each formula is
# translated, compared with the text the spreadsheet accepts, and computed by
# LibreOffice Calc with its German interface; the value must be the one python3's math
# module gives.
. "$(dirname "$0")/lib_common.inc"
command -v soffice >/dev/null || fail "soffice is missing (scripts/deps.txt: libreoffice-calc-nogui, libreoffice-l10n-de)"

# notation | worksheet formula | value (a python3 expression)
cat > "$T/tabelle" <<'TAB'
y=0.5*4|=0,5*4|2
U=2*~p*1.5|=2*PI()*1,5|2*math.pi*1.5
y=WURZEL3(8)*WURZEL4(16)|=(8)^(1/3)*(16)^(1/4)|4
y=QUADRAT(SIN(1))|=(Sin(1))^2|math.sin(1)**2
y=ZUFALL(0)|=Zufallszahl()*(0)|0
y=e^2+1.5E-3|=EXP(1)^2+1,5E-3|math.e**2+0.0015
y=INT(2.7)+RUNDEN(2.4)|=Abrunden(2,7;0)+Runden(2,4;0)|4
y=ATN(1)+ASN(0.5)+ACS(0.5)|=ArcTan(1)+ArcSin(0,5)+ArcCos(0,5)|math.atan(1)+math.asin(0.5)+math.acos(0.5)
y=VORZEICHEN(-2)*FAKULTÄT(4)|=Vorzeichen(-2)*Fakultät(4)|-24
y=SINH(0.5)+COSH(0.5)+TANH(0.5)|=SinHyp(0,5)+CosHyp(0,5)+TanHyp(0,5)|math.sinh(0.5)+math.cosh(0.5)+math.tanh(0.5)
y=LOG(100)+LN(2)|=Log(100)+Ln(2)|2+math.log(2)
y=WURZEL(9)+ABS(-1.25)|=Wurzel(9)+Abs(-1,25)|4.25
y=COS(0.5)+TAN(0.5)|=Cos(0,5)+Tan(0,5)|math.cos(0.5)+math.tan(0.5)
TAB
: > "$T/eingabe.csv"
while IFS='|' read -r text formel wert; do
    expect_rc 0 "$CLI" excel "$text"
    [ "$(cat "$T/out")" = "$formel" ] || fail "$text gives $(cat "$T/out") instead of $formel"
    printf '%s\n' "$formel" >> "$T/eingabe.csv"
done < "$T/tabelle"

# Calc reads the formulas as typed into a German sheet (locale 1031, tab-separated).
env -u LC_ALL LANG=de_DE.UTF-8 LANGUAGE=de HOME="$T" soffice \
    -env:UserInstallation="file://$T/profil" --headless --norestore \
    --convert-to 'csv:Text - txt - csv (StarCalc):9,34,76,1' \
    --infilter='CSV:9,34,76,1,,1031,false,false,false,false,true' \
    --outdir "$T/aus" "$T/eingabe.csv" > "$T/soffice.log" 2>&1 || fail "soffice: $(cat "$T/soffice.log")"
[ -s "$T/aus/eingabe.csv" ] || fail "soffice wrote nothing: $(cat "$T/soffice.log")"
python3 - "$T/tabelle" "$T/aus/eingabe.csv" <<'PY' || fail "Calc's values"
import math, sys
zeilen = [z.split("|") for z in open(sys.argv[1], encoding="utf-8").read().splitlines()]
werte = open(sys.argv[2], encoding="utf-8").read().splitlines()
assert len(werte) == len(zeilen), werte
for (text, formel, erwartet), calc in zip(zeilen, werte):
    try:
        v = float(calc.strip().replace(",", "."))
    except ValueError:
        sys.exit(f"{formel}: Calc gives {calc!r}")
    soll = eval(erwartet, {"math": math})
    if abs(v - soll) > 1e-9 * max(1, abs(soll)):
        sys.exit(f"{formel}: Calc gives {v}, expected {soll}")
PY
echo ok
