#include "core/export/Formelexport.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/device/FixedMetricsDevice.h"
#include "core/export/Mathbaum.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/SymbolFont.h"
#include "core/numeric/Zahlen.h"
#include "core/typeset/Elementfabrik.h"
#include "core/typeset/FormelAufbau.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelzeichen.h"
#include "core/typeset/TextObjekte.h"

namespace kd {

namespace {

// The page's leaf factory, remembering the whole limit texts of every sum, product and
// integral sign it makes (the sign itself keeps only what fits beside it).
class Exportfabrik final : public ElementFabrik {
public:
    Exportfabrik(Device& dc, std::shared_ptr<TFormStyles> stile) : innen_(dc, std::move(stile)) {}

    Termelement TextLeaf(std::uint32_t tag, const std::string& text) override {
        return innen_.TextLeaf(tag, text);
    }
    Termelement FormelTextLeaf(std::uint32_t tag, const std::string& text,
                               std::uint32_t farbe) override {
        return innen_.FormelTextLeaf(tag, text, farbe);
    }
    std::string LeafText(const TDLine& leaf) const override { return innen_.LeafText(leaf); }
    Termelement SummenZeichen(std::int32_t art, std::uint32_t tag, const std::string& oben,
                              const std::string& unten) override {
        auto e = innen_.SummenZeichen(art, tag, oben, unten);
        if (e) grenzen[e.get()] = {oben, unten};
        return e;
    }

    std::map<const TDLine*, std::pair<std::string, std::string>> grenzen;  // upper, lower

private:
    Elementfabrik innen_;
};

std::string Trimmen(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

bool IstZifferntext(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}


// ---- the formula markup of a leaf ---------------------------------------------------------

// Reads the markup of a formula text leaf ("~" Symbol letters, "|" indices and accents,
// "^" raised characters, "[...]" index text) into atoms. In text mode (legends and
// comments) plain characters run together into text; otherwise into names.
class Markup {
public:
    explicit Markup(bool textmodus) : text_(textmodus) {}

    M Lesen(const std::string& t) {
        const std::size_t n = t.size();
        for (std::size_t i = 0; i < n; ++i) {
            const char c = t[i];
            if (c == '~') {
                std::size_t j = i + 1;
                bool klein = false;
                if (j < n && t[j] == '|') {
                    klein = true;
                    ++j;
                }
                if (j >= n) break;
                const char32_t u = SymbolZuUnicode(static_cast<unsigned char>(t[j]));
                if (u == U' ') {
                    Zeichen(' ');
                } else if (u != 0) {
                    M s = M::Id(Utf8(u));
                    if (klein && !atome_.empty()) Tiefstellen(std::move(s));
                    else Anhaengen(std::move(s));
                }
                i = j;
            } else if (c == '^') {
                if (i + 1 >= n) break;
                std::string hoch;
                while (i + 1 < n && t[i] == '^') {
                    hoch += t[i + 1];
                    i += 2;
                }
                --i;
                Hochstellen(Einfach(hoch));
            } else if (c == '|' && (i == 0 || t[i - 1] == ' ')) {
                Zeichen('|');
            } else if (c == '|') {
                if (i + 1 >= n) break;
                const char a = t[i + 1];
                if (std::string_view("-.:=^_~").find(a) != std::string_view::npos) {
                    Akzent(a);
                    ++i;
                    continue;
                }
                std::string tief;
                while (i + 1 < n && t[i] == '|' &&
                       std::string_view("-.:=^_~").find(t[i + 1]) == std::string_view::npos) {
                    tief += t[i + 1];
                    i += 2;
                }
                --i;
                M s = Einfach(tief);
                if (s.art == M::Ident && tief.size() > 1) s.aufrecht = true;
                Tiefstellen(std::move(s));
            } else if (c == '[') {
                const std::size_t zu = t.find(']', i + 1);
                const std::string innen = t.substr(i + 1, zu == std::string::npos ? n : zu - i - 1);
                M s = Markup(text_).Lesen(innen);
                if (s.art == M::Ident && s.t.size() > 1) s.aufrecht = true;
                Tiefstellen(std::move(s));
                if (zu == std::string::npos) break;
                i = zu;
            } else if (c == ' ' && !text_) {
                offen_ = false;
            } else {
                Zeichen(c);
            }
        }
        if (atome_.size() == 1) return std::move(atome_.front());
        return M::Folge(std::move(atome_));
    }

private:
    // A raised or lowered run of plain characters: digits a number, else a name or text.
    M Einfach(const std::string& cp) const {
        if (IstZifferntext(cp)) return M::Nr(cp);
        if (text_) return M::Tx(Cp1252ToUtf8(cp));
        return M::Id(Cp1252ToUtf8(cp));
    }

    void Zeichen(char c) {
        const std::string u = Cp1252ToUtf8(std::string_view(&c, 1));
        if (offen_ && !atome_.empty()) {
            atome_.back().t += u;
            return;
        }
        atome_.push_back(text_ ? M::Tx(u) : M::Id(u));
        offen_ = true;
    }
    void Anhaengen(M m) {
        atome_.push_back(std::move(m));
        offen_ = false;
    }
    // The atom a raised or lowered character belongs to: in text the last character of
    // the running text, in a name the whole name.
    M& Basis(bool einzelnesZeichen) {
        if (atome_.empty()) atome_.push_back(M::Folge({}));
        M& b = atome_.back();
        if ((text_ || einzelnesZeichen) && (b.art == M::Text || b.art == M::Ident) &&
            LetztesZeichen(b.t) < b.t.size() && LetztesZeichen(b.t) > 0) {
            const std::size_t p = LetztesZeichen(b.t);
            M rest = b.art == M::Text ? M::Tx(b.t.substr(p)) : M::Id(b.t.substr(p));
            b.t.resize(p);
            atome_.push_back(std::move(rest));
        }
        offen_ = false;
        return atome_.back();
    }
    // Byte position of the last UTF-8 character.
    static std::size_t LetztesZeichen(const std::string& s) {
        std::size_t p = s.size();
        while (p > 0) {
            --p;
            if ((static_cast<unsigned char>(s[p]) & 0xC0) != 0x80) break;
        }
        return p;
    }
    void Tiefstellen(M s) {
        M& b = Basis(false);
        b = M::Bin(M::Tief, std::move(b), std::move(s));
    }
    void Hochstellen(M s) {
        M& b = Basis(false);
        b = M::Bin(M::Hoch, std::move(b), std::move(s));
    }
    void Akzent(char a) {
        M& b = Basis(true);
        M akz = M::Un(M::Akzent, std::move(b));
        akz.t = std::string(1, a);
        b = std::move(akz);
    }

    bool text_;
    bool offen_ = false;
    std::vector<M> atome_;
};

// ---- the walk over the element tree ------------------------------------------------------

const char* LatexFunktion(std::int32_t art) {
    switch (art) {
    case 7: return "\\sinh";
    case 8: return "\\cosh";
    case 9: return "\\tanh";
    case 10: return "\\sin";
    case 11: return "\\cos";
    case 12: return "\\tan";
    case 13: return "\\arcsin";
    case 14: return "\\arccos";
    case 15: return "\\arctan";
    case 16: return "\\ln";
    case 17: return "\\log";
    default: return nullptr;
    }
}

bool IstFunktion(std::int32_t art) {
    return (art >= 7 && art <= 20) || art == 26 || (art >= ArtMaxZeilen && art <= ArtMaxSpaltenWerte);
}
bool IstVergleich(std::int32_t art) { return art >= ArtGroesserGleich && art <= ArtGleichGleich; }
bool IstSummenart(std::int32_t art) {
    return art == ArtSumme || art == ArtIntegral || art == ArtProdukt;
}
bool IstStapel(std::int32_t art) {
    return art == ArtUntereinander || art == ArtOder || art == ArtUnd || art == ArtXoder;
}

M Operator(std::int32_t art) {
    switch (art) {
    case ArtGleich: return M::Opr("=", "=");
    case ArtPlus: return M::Opr("+", "+");
    case ArtMinus: return M::Opr("\xE2\x88\x92", "-");
    case ArtMal: return M::Opr("\xE2\x8B\x85", "\\cdot");
    case 28: return M::Opr("\xE2\x89\xA5", "\\ge");
    case 29: return M::Opr("\xE2\x89\xA4", "\\le");
    case 30: return M::Opr("\xE2\x89\xA0", "\\ne");
    case 31: return M::Opr(">", ">");
    case 32: return M::Opr("<", "<");
    default: return M::Opr("=", "=");  // "=="
    }
}

class Baumlauf {
public:
    explicit Baumlauf(const Exportfabrik& f) : fabrik_(f) {}

    M Lauf(const TDLine* e) {
        if (!e) return M::Folge({});
        if (const auto* k = dynamic_cast<const TFormElem*>(e)) {
            M m = Knoten(*k);
            // A sum, product, integral or function has a pair of its own; a second pair,
            // or the pair of any other node, is the brackets the page sets around it.
            const bool eigenesPaar = IstSummenart(k->Art) || IstFunktion(k->Art);
            const bool aussen = eigenesPaar ? k->HatSymbolKlammern != 0 : k->HatKlammern != 0;
            if (aussen) return M::Klammern("(", ")", std::move(m));
            return m;
        }
        if (const auto* f = dynamic_cast<const TFormelText*>(e)) return Markup(false).Lesen(f->Text);
        if (const auto* t = dynamic_cast<const TDText*>(e)) {
            const std::string s = Trimmen(t->Text);
            int fp = 0;
            TextZuZahl(s, fp);
            if (fp == 0 && !s.empty()) return M::Nr(s);
            return M::Tx(Cp1252ToUtf8(s));
        }
        return M::Folge({});
    }

private:
    M Knoten(const TFormElem& k) {
        const TDLine* e1 = k.Erstes.get();
        const TDLine* e2 = k.Zweites.get();
        const std::int32_t art = k.Art;
        if (art >= ArtGleich && art <= ArtMal) return Binaer(k);
        if (IstVergleich(art)) return Binaer(k);
        switch (art) {
        case ArtGeteilt: return M::Bin(M::Bruch, Lauf(e1), Lauf(e2));
        case ArtHoch: case ArtQuadrat: return M::Bin(M::Hoch, Lauf(e1), Lauf(e2));
        case ArtAbs: return M::Klammern("|", "|", Lauf(e2 ? e2 : e1));
        case ArtWurzel: case ArtWurzel + 1: case ArtWurzel + 2: {
            M w = M::Un(M::Wurzel, Lauf(e2));
            if (art > ArtWurzel) w.t = std::to_string(art - 19);
            return w;
        }
        case ArtFakultaet: {
            std::vector<M> r;
            r.push_back(Lauf(e2 ? e2 : e1));
            r.push_back(M::Opr("!", "!"));
            return M::Folge(std::move(r));
        }
        case ArtGamma: {
            std::vector<M> r;
            M g = M::Id("\xCE\x93");
            g.aufrecht = true;
            r.push_back(std::move(g));
            r.push_back(Lauf(e2));
            return M::Folge(std::move(r));
        }
        case ArtSumme: case ArtIntegral: case ArtProdukt: return Summe(k);
        case ArtNebeneinander: {
            std::vector<M> r;
            if (e1) r.push_back(Lauf(e1));
            if (e1 && e2) r.push_back(M::Luecke("qquad"));
            if (e2) r.push_back(Lauf(e2));
            return M::Folge(std::move(r));
        }
        case ArtLegende: {
            std::vector<M> zeilen;
            zeilen.push_back(Lauf(e1));
            zeilen.push_back(Textblatt(e2));
            return M::Zeilen(std::move(zeilen));
        }
        case ArtKommentar: {
            std::vector<M> r;
            r.push_back(Lauf(e1));
            r.push_back(M::Luecke("quad"));
            r.push_back(Textblatt(e2));
            return M::Folge(std::move(r));
        }
        default: break;
        }
        if (IstStapel(art)) {
            std::vector<M> zeilen;
            Zeilen(&k, zeilen);
            return M::Zeilen(std::move(zeilen));
        }
        if (IstFunktion(art)) {
            M f = M::Un(M::Funktion, M::Klammern("(", ")", Lauf(e2)));
            const char* l = LatexFunktion(art);
            f.t2 = Cp1252ToUtf8(k.OpText);
            f.t = l ? l : "\\operatorname{" + LatexTextmodus(k.OpText) + "}";
            if (l) f.t2 = std::string(l + 1);
            return f;
        }
        // A table reference shows its text as it was typed.
        if (art < ArtXoder) {
            const auto* t = dynamic_cast<const TDText*>(e1);
            return M::Tx(t ? Cp1252ToUtf8(Trimmen(t->Text)) : std::string());
        }
        return Lauf(e1);  // an identifier
    }

    M Binaer(const TFormElem& k) {
        std::vector<M> r;
        if (k.Erstes) r.push_back(Lauf(k.Erstes.get()));
        r.push_back(Operator(k.Art));
        if (k.Zweites) r.push_back(Lauf(k.Zweites.get()));
        return M::Folge(std::move(r));
    }

    static M Textblatt(const TDLine* e) {
        const auto* t = dynamic_cast<const TDText*>(e);
        return Markup(true).Lesen(t ? t->Text : std::string());
    }

    // The rows of stacked sub-formulas and conditions, flattened; a connective shows
    // its word between its two rows, as the page does.
    void Zeilen(const TDLine* e, std::vector<M>& zeilen) {
        const auto* k = dynamic_cast<const TFormElem*>(e);
        if (!k || !IstStapel(k->Art) || k->HatKlammern) {
            if (e) zeilen.push_back(Lauf(e));
            return;
        }
        Zeilen(k->Erstes.get(), zeilen);
        if (k->Art != ArtUntereinander && k->Zweites)
            zeilen.push_back(M::Tx(k->Art == ArtXoder ? "xoder" : k->Art == ArtUnd ? "und" : "oder"));
        Zeilen(k->Zweites.get(), zeilen);
    }

    // A limit text of a sum sign: a number, a constant or a name, with its sign.
    static M Grenze(const std::string& roh) {
        const std::string s = Trimmen(roh);
        if (s.empty()) return M::Folge({});
        if (s[0] == '-') {
            std::vector<M> r;
            r.push_back(M::Opr("\xE2\x88\x92", "-"));
            r.push_back(Grenze(s.substr(1)));
            return M::Folge(std::move(r));
        }
        int fp = 0;
        TextZuZahl(s, fp);
        if (fp == 0) return M::Nr(s);
        return Markup(false).Lesen(s);
    }

    M Summe(const TFormElem& k) {
        std::string oben, unten;
        if (auto it = fabrik_.grenzen.find(k.Erstes.get()); it != fabrik_.grenzen.end()) {
            oben = it->second.first;
            unten = it->second.second;
        }
        std::string var, start;
        if (const std::size_t g = unten.find(" = "); g != std::string::npos) {
            var = Trimmen(unten.substr(0, g));
            start = unten.substr(g + 3);
        }
        M zeichen;
        zeichen.art = M::Gross;
        zeichen.t = k.Art == ArtSumme ? "sum" : k.Art == ArtProdukt ? "prod" : "int";
        if (k.Art == ArtIntegral) {
            zeichen.k.push_back(Grenze(start));
        } else {
            std::vector<M> u;
            u.push_back(Markup(false).Lesen(var));
            u.push_back(M::Opr("=", "="));
            u.push_back(Grenze(start));
            zeichen.k.push_back(M::Folge(std::move(u)));
        }
        zeichen.k.push_back(Grenze(oben));

        const TDLine* koerper = k.Zweites.get();
        std::vector<M> r;
        r.push_back(std::move(zeichen));
        // The integrand "f*dx" is written f dx with an upright d.
        if (k.Art == ArtIntegral) {
            const auto* mal = dynamic_cast<const TFormElem*>(koerper);
            if (mal && mal->Art == ArtMal && !mal->HatKlammern && mal->Erstes &&
                IstDifferential(mal->Zweites.get(), var)) {
                r.push_back(Koerper(mal->Erstes.get()));
                r.push_back(M::Luecke("thin"));
                M d = M::Id("d");
                d.aufrecht = true;
                r.push_back(std::move(d));
                r.push_back(Markup(false).Lesen(var));
                return M::Folge(std::move(r));
            }
        }
        r.push_back(Koerper(koerper));
        return M::Folge(std::move(r));
    }

    // The body of a sum sign, in parentheses where a sum or a condition would otherwise
    // run on after it.
    M Koerper(const TDLine* e) {
        M m = Lauf(e);
        const auto* k = dynamic_cast<const TFormElem*>(e);
        if (k && !k->HatKlammern && k->Art >= ArtXoder && k->Art <= ArtMinus)
            return M::Klammern("(", ")", std::move(m));
        return m;
    }

    static bool IstDifferential(const TDLine* e, const std::string& var) {
        if (var.empty()) return false;
        const TDLine* blatt = e;
        if (const auto* k = dynamic_cast<const TFormElem*>(e)) {
            if (k->Art < ArtBezeichner || k->HatKlammern) return false;
            blatt = k->Erstes.get();
        }
        const auto* t = dynamic_cast<const TFormelText*>(blatt);
        return t && Trimmen(t->Text) == "d" + var;
    }

    const Exportfabrik& fabrik_;
};

// The plain text of a legend for a heading (markup codes removed, Symbol letters as
// their characters).
std::string Klartext(const M& m) {
    switch (m.art) {
    case M::Ident: case M::Zahl: case M::Text: case M::Op: return m.t;
    case M::Hoch: return Klartext(m.k[0]) + "^" + Klartext(m.k[1]);
    case M::Tief: return Klartext(m.k[0]) + Klartext(m.k[1]);
    default: {
        std::string s;
        for (const M& c : m.k) s += Klartext(c);
        return s;
    }
    }
}

} // namespace

Formelexport FormelExportieren(const std::string& text, const ExportOptionen& o) {
    Formelexport erg;
    FixedMetricsDevice dc;
    auto stile = std::make_shared<TFormStyles>();
    Exportfabrik fabrik(dc, stile);
    TGleichung::Optionen opt;
    opt.Sammelmodus = true;
    opt.Bedingungsmodus = o.Bedingung;
    opt.ElementeErzeugen = true;
    opt.Stile = stile.get();
    opt.Fabrik = &fabrik;
    TGleichung g(opt);
    int endePos = 0;
    erg.Code = g.FormelLesen(text, "", "", 0, erg.FehlerPos, endePos);
    if (erg.Code != 0) return erg;
    std::unique_ptr<TDLine> baum = FormelAufbau(
        g, dc, stile, std::make_shared<TPenBrushTyp>(PS_SOLID, 0, 0, BS_SOLID, 0, 0), true,
        TagFormElem);

    Baumlauf lauf(fabrik);
    const TDLine* wurzel = baum.get();
    const auto* k = dynamic_cast<const TFormElem*>(wurzel);
    M m;
    if (o.LegendeAlsTitel && k && k->Art == ArtLegende && !k->HatKlammern) {
        const auto* t = dynamic_cast<const TDText*>(k->Zweites.get());
        const M legende = Markup(true).Lesen(t ? t->Text : std::string());
        erg.Legende = Klartext(legende);
        erg.LegendeHtml = AlsHtmlText(legende);
        erg.LegendeLatex = AlsLatexText(legende);
        m = lauf.Lauf(k->Erstes.get());
    } else {
        m = lauf.Lauf(wurzel);
    }
    erg.Latex = AlsLatex(m);
    erg.MathML = AlsMathML(m, o.Alttext.empty() ? std::string() : XmlText(o.Alttext));
    return erg;
}

std::string LatexTextmodus(const std::string& cp1252) {
    std::string s;
    for (char c : cp1252) {
        switch (c) {
        case '\\': s += "\\textbackslash{}"; break;
        case '{': s += "\\{"; break;
        case '}': s += "\\}"; break;
        case '$': s += "\\$"; break;
        case '&': s += "\\&"; break;
        case '#': s += "\\#"; break;
        case '%': s += "\\%"; break;
        case '_': s += "\\_"; break;
        case '^': s += "\\textasciicircum{}"; break;
        case '~': s += "\\textasciitilde{}"; break;
        default:
            if (static_cast<unsigned char>(c) < 32) s += ' ';
            else s += Cp1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return s;
}

std::string XmlEscape(const std::string& utf8) {
    std::string s;
    for (char c : utf8) {
        switch (c) {
        case '&': s += "&amp;"; break;
        case '<': s += "&lt;"; break;
        case '>': s += "&gt;"; break;
        case '"': s += "&quot;"; break;
        case '\'': s += "&apos;"; break;
        default:
            // Control characters are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\n' && c != '\r') s += ' ';
            else s += c;
        }
    }
    return s;
}

std::string XmlText(const std::string& cp1252) { return XmlEscape(Cp1252ToUtf8(cp1252)); }

} // namespace kd
