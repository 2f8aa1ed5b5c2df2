// Evaluation of a parsed formula: the walk over the step list that FormelLesen and
// Reihenfolge left in the equation object.
#include "core/eval/Auswertung.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/eval/Funktionen.h"
#include "core/eval/Rechenabbruch.h"
#include "core/eval/Rechenfehler.h"
#include "core/eval/Schleifenprogramm.h"
#include "core/matrix/MatrixObj.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Zahlen.h"

namespace kd {

const char* const Rechenfehlertexte[RechenfehlerAnzahl + 1] = {
    "",
    "Division durch 0, oder \xDC" "berlauf",
    "Unterlauf",
    "Negative Wurzel",
    "Negativer Wert",
    "Argument > 1",
    "Argument<=0 f\xFC" "r logarithmische Fkt.",
    "Undefinierter Wert oder Bezeichner",
    "Indize au\xDF" "erhalb zul\xE4ssigen Bereiches",
    "Array- oder Matrix-Wert leer",
    "Argument nicht ganzzahlig oder negativ",
    "Startwert > Endwert",
    "Zu viele Schleifendurchl\xE4ufe",
};

const char* Rechenfehlertext(int code) {
    return code >= 1 && code <= RechenfehlerAnzahl ? Rechenfehlertexte[code] : "";
}

namespace {

// State of one of the six loops (SUMME, INTEGRAL, PRODUKT) during one evaluation.
struct Schleife {
    bool Aktiv = false;
    Extended Start = 0;
    Extended Ende = 0;
    std::int32_t Rumpf = 0;          // first step of the body
    TBezeichner* Variable = nullptr;  // the loop variable
    TBezeichner* Schrittweite = nullptr;  // INTEGRAL: the identifier "d" + variable
    bool OhneProgramm = false;        // the body runs as steps only
    int Fehlversuche = 0;             // program starts that ran no pass
};

// Rechenwert := Wert, as a plain copy of the bytes (far cheaper than an 80-bit load
// and store).
inline void Zuruecksetzen(Term& t) { std::memcpy(&t.Rechenwert, &t.Wert, sizeof(Extended)); }

constexpr int MaxSchleifen = 6;

// Loop passes one evaluation may take, however they are run: enough for an integral
// inside an integral (10001 * 10001). A loop whose end lies out of reach (a named end
// bound of 1E18, say) ends with RfDurchlaeufe instead of running for hours.
constexpr long long MaxDurchlaeufe = 1LL << 27;
// The compiled program runs at most this many passes before the step walk takes one and
// asks whether the computation is to stop (a few milliseconds of work).
constexpr long long ProgrammDurchlaeufeAmStueck = 1LL << 16;

// The end test of a loop: the loop is finished when end <= variable + tolerance. A sum
// or product steps by 1 and keeps the tolerance of 1E-10; an integral's tolerance is
// half its step, so a short range runs its 10000 intervals as a long one does.
inline Extended Endtoleranz(bool integral, Extended schritt) {
    return integral ? std::fabs(schritt) / 2 : 1E-10L;
}

// The integral's value as shown: 4 significant digits from 10 upward and 3 decimals
// down to 0.1; below that 3 significant digits, so a small non-zero value never
// becomes 0.
Extended IntegralRunden(Extended v) {
    if (!std::isfinite(v) || std::fabs(v) >= 0.1L) return RundeStellen(4, v);
    if (v == 0) return 0;
    const int e = Zehnerexponent(v);  // v = m * 10^e, 1 <= |m| < 10
    const Extended skala = Zehnerpotenz(2 - e);
    const Extended r = std::trunc(std::fabs(v) * skala + 0.5L) / skala;
    return v < 0 ? -r : r;
}

// round() of a term value used as an index; values no index can have give -1 - 2^30,
// which no list or table holds.
inline std::int32_t RundeIndex(Extended v) {
    if (!(v > -1073741824.0L && v < 1073741824.0L)) return -1 - 1073741824;
    return static_cast<std::int32_t>(std::nearbyint(v));
}

inline TBezeichner* BezeichnerAn(const Bezeichnerliste& bez, std::int32_t i) {
    return i >= 0 && i < bez.Count() ? bez[i] : nullptr;
}

inline bool Wahr(Extended v) { return v == 1; }

// A loop bound that no loop can run to: no value, NaN or infinite.
inline bool GrenzeUngueltig(Extended v) { return v == Undefiniert || !std::isfinite(v); }

// Error 9 (empty table cell) is ignored when the step list holds only assignments,
// "<>", "==", SUMME, PRODUKT, table references and identifier loads.
bool NurZuweisungen(const TGleichung& g, int schritte) {
    for (int k = 1; k <= schritte; ++k) {
        const std::int32_t art = g.Schritte[std::size_t(k)].Art;
        const bool ok = art == ArtGleich || art == 30 || art == ArtGleichGleich || art == ArtSumme ||
                        art == ArtProdukt || art <= -9 || art >= ArtBezeichner;
        if (!ok) return false;
    }
    return true;
}

} // namespace

Extended Auswerten(TGleichung& g, bool strikt, int& fehler, int& textPos) {
    fehler = 0;
    textPos = 0;
    const int terme = g.TermAnzahl > MaxTerme ? MaxTerme : g.TermAnzahl;
    if (terme <= 1) return g.Terme[1].Rechenwert;
    const int schritte = terme - 1;
    for (int k = 1; k <= schritte; ++k) {
        const Schritt& s = g.Schritte[std::size_t(k)];
        if (s.Links < 1 || s.Links > MaxTerme || s.Rechts < 1 || s.Rechts > MaxTerme) {
            fehler = RfUndefiniert;
            return Undefiniert;
        }
    }

    const Bezeichnerliste& bez = *g.BezListe;
    Schleife schleife[MaxSchleifen + 1];
    std::int32_t ergebnisterm = 1;
    Schleifenprogramm programm;    // the compiled body of the loop that ran last
    long long durchlaeufe = 0;     // loop passes so far
    // Every loop pass is counted here, by the step walk and the compiled program alike;
    // false once the passes of this evaluation are used up.
    // A computation stopped from outside (Rechenabbruch) ends as one out of passes.
    auto durchlaeufeZaehlen = [&durchlaeufe](long long n) {
        durchlaeufe += n;
        return durchlaeufe < MaxDurchlaeufe && !Rechenabbruch::Pruefen();
    };

    // The value of a named bound: identifier k, or Undefiniert.
    auto benannt = [&bez](std::int32_t k) {
        const TBezeichner* b = BezeichnerAn(bez, k);
        return b ? b->GetWert() : Undefiniert;
    };

    for (int i = 1; i <= schritte; ++i) {
        Rechenfehler = 0;
        if (g.Schleifenbeginn[std::size_t(i)] != 0) {
            // The body of a loop that is not running begins here: its variable takes
            // the value of a named start now, so the first pass sees the start and not
            // what the variable held, and an integral's step follows the bounds.
            for (int stufe = 1; stufe <= MaxSchleifen; ++stufe) {
                if (!(g.Schleifenbeginn[std::size_t(i)] & (1u << stufe)) || schleife[stufe].Aktiv) continue;
                const Term& s = g.Terme[std::size_t(g.Schritte[std::size_t(g.Schleifenschritt[std::size_t(stufe)])].Links)];
                TBezeichner* v = BezeichnerAn(bez, s.TextPos);
                if (!v) continue;
                if (s.StartBenannt) v->SetWert(benannt(s.StartWert));
                if (s.Art == ArtIntegral) {
                    TBezeichner* d = BezeichnerAn(bez, s.SummenBezeichner);
                    const Extended start = v->GetWert();
                    const Extended ende = s.EndeBenannt ? benannt(RundeIndex(-s.Wert) - 1) : s.Wert;
                    if (d && !GrenzeUngueltig(start) && !GrenzeUngueltig(ende)) d->Wert = (ende - start) / 10000;
                }
            }
        }
        const Schritt& st = g.Schritte[std::size_t(i)];
        Term& l = g.Terme[std::size_t(st.Links)];
        Term& r = g.Terme[std::size_t(st.Rechts)];
        const Extended a = l.Rechenwert;
        const Extended b = r.Rechenwert;
        const std::int32_t art = st.Art;

        switch (art) {
        case ArtXoder: l.Rechenwert = Wahr(a) != Wahr(b) ? 1 : 0; break;
        case ArtUnd: l.Rechenwert = Wahr(a) && Wahr(b) ? 1 : 0; break;
        case ArtOder: l.Rechenwert = Wahr(a) || Wahr(b) ? 1 : 0; break;
        case -5: case ArtKommentar: case ArtLegende: case ArtNebeneinander: case ArtUntereinander:
            break;
        case ArtGleich: {
            l.Rechenwert = b;
            const std::int32_t n = RundeIndex(l.Wert);
            if (n >= 0) {
                if (TBezeichner* z = BezeichnerAn(bez, n)) z->SetWert(b == Leerwert ? 0 : b);
            } else if (n > -1 - 1073741824) {
                const std::int32_t m = -n - 1;
                if (g.Matrizen && m < g.Matrizen->Count()) {
                    int f = 0;
                    (*g.Matrizen)[m]->SetWert(bez, b, &f);
                    Rechenfehler = f;
                } else {
                    Rechenfehler = RfUndefiniert;
                }
            }
            ergebnisterm = st.Links;
            break;
        }
        case ArtPlus: l.Rechenwert = a + b; break;
        case ArtMinus: l.Rechenwert = a - b; break;
        case ArtMal: {
            const Extended p = a * b;
            if (std::fabs(p) >= Ueberlaufwert) {
                Rechenfehler = RfUeberlauf;
                l.Rechenwert = p < 0 ? -Ueberlaufwert : Ueberlaufwert;
            } else {
                l.Rechenwert = p;
            }
            break;
        }
        case ArtGeteilt:
            if (b == 0) {
                Rechenfehler = RfUeberlauf;
                l.Rechenwert = a >= 0 ? Ueberlaufwert : -Ueberlaufwert;
            } else {
                l.Rechenwert = a / b;
            }
            break;
        case ArtHoch: l.Rechenwert = Potenz(a, b); break;
        case ArtAbs: l.Rechenwert = std::fabs(b); break;
        case 7: l.Rechenwert = SinHyp(b); break;
        case 8: l.Rechenwert = CosHyp(b); break;
        case 9: l.Rechenwert = TanHyp(b); break;
        case 10: l.Rechenwert = Sinus(b); break;
        case 11: l.Rechenwert = Kosinus(b); break;
        case 12: l.Rechenwert = Tangens(b); break;
        case 13: l.Rechenwert = ArcSin(b); break;
        case 14: l.Rechenwert = ArcCos(b); break;
        case 15: l.Rechenwert = ArcTan(b); break;
        case 16: l.Rechenwert = Ln(b); break;
        case 17: l.Rechenwert = Log(b); break;
        case 18: l.Rechenwert = Abrunden(b); break;
        case 19: l.Rechenwert = Runden(b); break;
        case 20: l.Rechenwert = Vorzeichen(b); break;
        case ArtWurzel: l.Rechenwert = Wurzel(b); break;
        case 22: l.Rechenwert = Wurzel3(b); break;
        case 23: l.Rechenwert = Wurzel4(b); break;
        case ArtQuadrat: l.Rechenwert = b * b; break;
        case ArtFakultaet: l.Rechenwert = Fakultaet(b); break;
        case 26: l.Rechenwert = Zufall(b); break;
        case ArtGamma: l.Rechenwert = Gamma(b); break;
        case ArtGroesserGleich: l.Rechenwert = a >= b ? 1 : 0; break;
        case 29: l.Rechenwert = a <= b ? 1 : 0; break;
        case 30: l.Rechenwert = std::fabs(a - b) > 1E-8L ? 1 : 0; break;
        case 31: l.Rechenwert = a > b ? 1 : 0; break;
        case 32: l.Rechenwert = a < b ? 1 : 0; break;
        case ArtGleichGleich: l.Rechenwert = std::fabs(a - b) < 1E-8L ? 1 : 0; break;

        case ArtSumme:
        case ArtIntegral:
        case ArtProdukt: {
            const bool integral = art == ArtIntegral;
            const bool produkt = art == ArtProdukt;
            const std::int32_t nr = l.SummenNr;
            const int stufe = nr < 0 ? -nr : nr;
            if (stufe < 1 || stufe > MaxSchleifen) {
                Rechenfehler = RfUndefiniert;
                break;
            }
            Schleife& sl = schleife[stufe];
            if (!sl.Aktiv) {
                TBezeichner* v = BezeichnerAn(bez, l.TextPos);
                if (!v) {
                    Rechenfehler = RfUndefiniert;
                    break;
                }
                Extended ende = l.Wert;
                if (l.StartBenannt) {
                    TBezeichner* sb = BezeichnerAn(bez, l.StartWert);
                    if (!sb) {
                        Rechenfehler = RfUndefiniert;
                        break;
                    }
                    v->SetWert(sb->GetWert());
                }
                const Extended start = v->GetWert();
                // A named end is a reference -(k + 1) to identifier k. Only the flag
                // decides: a negative number is an end like any other, so
                // SUMME(i=-5;-1;i) sums five terms instead of reading an identifier.
                if (l.EndeBenannt) {
                    TBezeichner* eb = BezeichnerAn(bez, RundeIndex(-ende) - 1);
                    if (!eb) {
                        Rechenfehler = RfUndefiniert;
                        break;
                    }
                    ende = eb->GetWert();
                }
                // A bound without a value would never end the loop.
                if (GrenzeUngueltig(start) || GrenzeUngueltig(ende)) {
                    Rechenfehler = RfUndefiniert;
                    break;
                }
                if (ende < start) {
                    Rechenfehler = RfStartwert;
                    break;
                }
                TBezeichner* d = nullptr;
                if (integral) {
                    d = BezeichnerAn(bez, l.SummenBezeichner);
                    if (!d) {
                        Rechenfehler = RfUndefiniert;
                        break;
                    }
                    d->Wert = (ende - start) / 10000;
                }
                // The body's steps (Reihenfolge found them); a body whose steps are
                // not one run before the loop step cannot be run again.
                const std::int32_t rumpf = g.Rumpf[std::size_t(i)];
                if (rumpf < 1 || rumpf > i) {
                    Rechenfehler = RfUndefiniert;
                    break;
                }
                l.Rechenwert = produkt ? 1 : 0;
                sl.Aktiv = true;
                sl.Start = start;
                sl.Ende = ende;
                sl.Variable = v;
                sl.Schrittweite = d;
                sl.OhneProgramm = false;
                sl.Fehlversuche = 0;
                sl.Rumpf = rumpf;
                if (integral) r.Rechenwert = r.Rechenwert / 2;  // first ordinate: half weight
            }

            if (b != Leerwert) {
                if (produkt) {
                    const Extended p = l.Rechenwert * r.Rechenwert;
                    if (!(std::fabs(p) < Ueberlaufwert)) {
                        // As "*": the product leaves the range of values.
                        sl.Aktiv = false;
                        sl.Variable->SetWert(sl.Start);
                        Rechenfehler = RfUeberlauf;
                        l.Rechenwert = p < 0 ? -Ueberlaufwert : Ueberlaufwert;
                        break;
                    }
                    l.Rechenwert = p;
                } else {
                    l.Rechenwert = l.Rechenwert + r.Rechenwert;
                }
            }

            // The body runs again from its own values.
            for (int k = sl.Rumpf; k < i; ++k) {
                const Schritt& bs = g.Schritte[std::size_t(k)];
                Zuruecksetzen(g.Terme[std::size_t(bs.Links)]);
                Zuruecksetzen(g.Terme[std::size_t(bs.Rechts)]);
            }

            const Extended wert = sl.Variable->GetWert();
            const Extended h = integral ? sl.Schrittweite->GetWert() : Extended(1);
            const Extended toleranz = Endtoleranz(integral, h);
            bool fertig = sl.Ende <= wert + toleranz;
            bool steckt = false;
            Extended neu = 0;
            if (!fertig) {
                neu = wert + h;
                // When the variable no longer grows (its magnitude swallows the step, or
                // the step is no number) the loop cannot reach its end; nor can a loop
                // beyond the passes allowed.
                steckt = !(neu > wert) || !durchlaeufeZaehlen(1);
                fertig = steckt;
            }
            if (fertig) {
                sl.Aktiv = false;
                if (steckt) {
                    Rechenfehler = RfDurchlaeufe;
                    l.Rechenwert = Ueberlaufwert;
                } else if (integral) {
                    l.Rechenwert = IntegralRunden(l.Rechenwert - b / 2);  // last ordinate: half
                }
                sl.Variable->SetWert(sl.Start);
            } else {
                sl.Variable->SetWert(neu);
                // The passes that surely go on run as a compiled program; the step walk
                // takes the next pass after them (the last one, or one with an error).
                if (!sl.OhneProgramm) {
                    if (!programm.Passt(sl.Rumpf, i) &&
                        !programm.Uebersetzen(g, sl.Rumpf, i, sl.Variable, sl.Schrittweite)) {
                        sl.OhneProgramm = true;
                    } else {
                        const long long n =
                            programm.Laufen(sl.Ende, toleranz, produkt, l.Rechenwert,
                                            std::min(MaxDurchlaeufe - durchlaeufe, ProgrammDurchlaeufeAmStueck));
                        durchlaeufeZaehlen(n);
                        if (n == 0 && ++sl.Fehlversuche > 8) sl.OhneProgramm = true;
                    }
                }
                i = sl.Rumpf - 1;  // on with the body's first step
            }
            break;
        }

        case ArtMaxZeilen:
        case ArtMaxSpalten:
        case ArtMaxZeilenWerte:
        case ArtMaxSpaltenWerte: {
            const std::int32_t t = RundeIndex(l.Wert);
            const TMatrixObj* m =
                g.Matrizen && t >= 0 && t < g.Matrizen->Count() ? (*g.Matrizen)[t]->Tabelle : nullptr;
            if (!m) {
                Rechenfehler = RfUndefiniert;
                break;
            }
            switch (art) {
            case ArtMaxZeilen: l.Rechenwert = m->LastCol; break;
            case ArtMaxSpalten: l.Rechenwert = m->LastRow; break;
            case ArtMaxZeilenWerte: l.Rechenwert = m->MarkRow; break;
            default: l.Rechenwert = m->MarkCount; break;
            }
            break;
        }

        default:
            if (art >= ArtBezeichner) {
                const TBezeichner* z = BezeichnerAn(bez, art - ArtBezeichner);
                const Extended w = z ? z->GetWert() : Undefiniert;
                l.Rechenwert = w;
                if (w == Undefiniert) Rechenfehler = RfUndefiniert;
            } else if (art <= -9) {
                const std::int32_t t = -9 - art;
                if (g.Matrizen && t < g.Matrizen->Count()) {
                    int f = 0;
                    const Extended w = (*g.Matrizen)[t]->GetWert(bez, &f);
                    l.Rechenwert = w;
                    if (f != 0) Rechenfehler = f;
                    else if (w == Leerwert) Rechenfehler = RfLeer;
                } else {
                    l.Rechenwert = Undefiniert;
                    Rechenfehler = RfUndefiniert;
                }
            }
            break;
        }

        if (Rechenfehler != 0) {
            if (Rechenfehler == RfLeer && NurZuweisungen(g, schritte)) Rechenfehler = 0;
            if (Rechenfehler > 1 || (Rechenfehler == 1 && strikt)) {
                fehler = Rechenfehler;
                textPos = st.TextPos;
                return Undefiniert;
            }
        }
    }
    // No infinity or NaN is ever a result: it is the overflow of the evaluator.
    const Extended ergebnis = g.Terme[std::size_t(ergebnisterm)].Rechenwert;
    if (!std::isfinite(ergebnis)) {
        if (strikt) {
            fehler = RfUeberlauf;
            textPos = g.Schritte[std::size_t(schritte)].TextPos;
            return Undefiniert;
        }
        return ergebnis < 0 ? -Ueberlaufwert : Ueberlaufwert;
    }
    return ergebnis;
}

Extended Berechnen(TGleichung& g, bool strikt, int& fehler, int& textPos) {
    const int terme = g.TermAnzahl > MaxTerme ? MaxTerme : g.TermAnzahl;
    for (int k = 1; k <= terme; ++k) Zuruecksetzen(g.Terme[std::size_t(k)]);
    return Auswerten(g, strikt, fehler, textPos);
}

Extended BerechneXZ(TGleichung& g, Extended x, Extended z, std::string& meldung) {
    for (int k = 1; k <= g.XAnzahl && k <= MaxTerme; ++k) {
        const std::int32_t t = g.XStellen[std::size_t(k)];
        if (t >= 1 && t <= MaxTerme) g.Terme[std::size_t(t)].Wert = x;
    }
    for (int k = 1; k <= g.ZAnzahl && k <= MaxTerme; ++k) {
        const std::int32_t t = g.ZStellen[std::size_t(k)];
        if (t >= 1 && t <= MaxTerme) g.Terme[std::size_t(t)].Wert = z;
    }
    int fehler = 0, pos = 0;
    const Extended v = Berechnen(g, true, fehler, pos);
    if (fehler == 0) {
        meldung.clear();
        return v;
    }
    meldung = Kurz(Rechenfehlertext(fehler));
    return Leerwert;
}

} // namespace kd
