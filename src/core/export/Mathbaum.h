#pragma once
// The small presentation tree the exports are written from: what the walk over a
// formula's element tree found, in the terms LaTeX and MathML share. Texts are UTF-8.
#include <string>
#include <utility>
#include <vector>

namespace kd {

struct M {
    enum Art {
        Reihe,     // the children one after the other
        Ident,     // a name, a Symbol letter (t); upright when aufrecht
        Zahl,      // a number as typed (t, Windows-1252 digits, "," or ".", E)
        Op,        // an operator: t the character, t2 its LaTeX
        Text,      // running text (t)
        Bruch,     // k[0] over k[1]
        Wurzel,    // root of k[0]; t the degree ("" for the square root)
        Hoch,      // k[0] raised to k[1]
        Tief,      // k[0] with the index k[1]
        Klammer,   // k[0] between t and t2, sized to it
        Gross,     // sum, product or integral sign t ("sum", "prod", "int"), k[0] below, k[1] above
        Stapel,    // the children as rows one under the other
        Funktion,  // operator name (t LaTeX, t2 MathML) applied to k[0]
        Abstand,   // a space: t "thin", "quad" or "qquad"
        Akzent,    // k[0] with the accent t ("-" arrow, "." dot, ":" two dots, "^", "~", "=", "_")
    };
    Art art = Reihe;
    std::string t, t2;
    bool aufrecht = false;
    std::vector<M> k;

    static M Folge(std::vector<M> kinder) {
        M m;
        m.k = std::move(kinder);
        return m;
    }
    static M Blatt(Art a, std::string text, std::string text2 = {}) {
        M m;
        m.art = a;
        m.t = std::move(text);
        m.t2 = std::move(text2);
        return m;
    }
    static M Id(std::string s) { return Blatt(Art::Ident, std::move(s)); }
    static M Nr(std::string s) { return Blatt(Art::Zahl, std::move(s)); }
    static M Tx(std::string s) { return Blatt(Art::Text, std::move(s)); }
    static M Opr(std::string zeichen, std::string latex) {
        return Blatt(Art::Op, std::move(zeichen), std::move(latex));
    }
    static M Luecke(std::string s) { return Blatt(Art::Abstand, std::move(s)); }
    static M Un(Art a, M kind) {
        M m;
        m.art = a;
        m.k.push_back(std::move(kind));
        return m;
    }
    static M Bin(Art a, M k0, M k1) {
        M m;
        m.art = a;
        m.k.push_back(std::move(k0));
        m.k.push_back(std::move(k1));
        return m;
    }
    static M Klammern(std::string auf, std::string zu, M inhalt) {
        M m = Un(Art::Klammer, std::move(inhalt));
        m.t = std::move(auf);
        m.t2 = std::move(zu);
        return m;
    }
    static M Zeilen(std::vector<M> zeilen) {
        M m = Folge(std::move(zeilen));
        m.art = Art::Stapel;
        return m;
    }
};

// One Unicode character as UTF-8.
std::string Utf8(char32_t u);

// The tree as math-mode LaTeX (amsmath; KaTeX reads it too).
std::string AlsLatex(const M& m);
// The tree as a MathML <math display="block"> element; `alttext` already escaped.
std::string AlsMathML(const M& m, const std::string& alttext = {});
// The tree as inline HTML (a heading): text, <sub> and <sup>.
std::string AlsHtmlText(const M& m);
// The tree as LaTeX running text (a heading): text escaped, the rest in $...$.
std::string AlsLatexText(const M& m);

} // namespace kd
