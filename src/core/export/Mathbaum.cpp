#include "core/export/Mathbaum.h"

#include <cstring>
#include <string_view>

#include "core/export/Formelexport.h"
#include "core/numeric/Encoding.h"

namespace kd {

std::string Utf8(char32_t u) {
    std::string s;
    AppendUtf8(s, u);
    return s;
}

namespace {

// The first character of a UTF-8 text and its length in bytes.
char32_t ErstesZeichen(const std::string& s, std::size_t& laenge) {
    laenge = 0;
    if (s.empty()) return 0;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    std::size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (n > s.size()) n = s.size();
    char32_t u = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t i = 1; i < n; ++i) u = (u << 6) | (b(i) & 0x3F);
    laenge = n;
    return u;
}

// LaTeX commands of the Symbol font's characters.
const char* LatexSymbol(char32_t u) {
    static const struct {
        char32_t u;
        const char* l;
    } tabelle[] = {
        {U'\u03B1', "\\alpha"}, {U'\u03B2', "\\beta"}, {U'\u03B3', "\\gamma"},
        {U'\u03B4', "\\delta"}, {U'\u03B5', "\\varepsilon"}, {U'\u03B6', "\\zeta"},
        {U'\u03B7', "\\eta"}, {U'\u03B8', "\\theta"}, {U'\u03D1', "\\vartheta"},
        {U'\u03B9', "\\iota"}, {U'\u03BA', "\\kappa"}, {U'\u03BB', "\\lambda"},
        {U'\u03BC', "\\mu"}, {U'\u03BD', "\\nu"}, {U'\u03BE', "\\xi"}, {U'\u03BF', "o"},
        {U'\u03C0', "\\pi"}, {U'\u03D6', "\\varpi"}, {U'\u03C1', "\\rho"},
        {U'\u03C3', "\\sigma"}, {U'\u03C2', "\\varsigma"}, {U'\u03C4', "\\tau"},
        {U'\u03C5', "\\upsilon"}, {U'\u03C6', "\\varphi"}, {U'\u03D5', "\\phi"},
        {U'\u03C7', "\\chi"}, {U'\u03C8', "\\psi"}, {U'\u03C9', "\\omega"},
        {U'\u0391', "\\mathrm{A}"}, {U'\u0392', "\\mathrm{B}"}, {U'\u0393', "\\Gamma"},
        {U'\u0394', "\\Delta"}, {U'\u0395', "\\mathrm{E}"}, {U'\u0396', "\\mathrm{Z}"},
        {U'\u0397', "\\mathrm{H}"}, {U'\u0398', "\\Theta"}, {U'\u0399', "\\mathrm{I}"},
        {U'\u039A', "\\mathrm{K}"}, {U'\u039B', "\\Lambda"}, {U'\u039C', "\\mathrm{M}"},
        {U'\u039D', "\\mathrm{N}"}, {U'\u039E', "\\Xi"}, {U'\u039F', "\\mathrm{O}"},
        {U'\u03A0', "\\Pi"}, {U'\u03A1', "\\mathrm{P}"}, {U'\u03A3', "\\Sigma"},
        {U'\u03A4', "\\mathrm{T}"}, {U'\u03A5', "\\Upsilon"}, {U'\u03D2', "\\Upsilon"},
        {U'\u03A6', "\\Phi"}, {U'\u03A7', "\\mathrm{X}"}, {U'\u03A8', "\\Psi"},
        {U'\u03A9', "\\Omega"},
        {U'\u221E', "\\infty"}, {U'\u2202', "\\partial"}, {U'\u2207', "\\nabla"},
        {U'\u00B0', "^{\\circ}"}, {U'\u00B1', "\\pm"}, {U'\u00D7', "\\times"},
        {U'\u00F7', "\\div"}, {U'\u2248', "\\approx"}, {U'\u2260', "\\ne"},
        {U'\u2264', "\\le"}, {U'\u2265', "\\ge"}, {U'\u2261', "\\equiv"},
        {U'\u2245', "\\cong"}, {U'\u223C', "\\sim"}, {U'\u221D', "\\propto"},
        {U'\u2192', "\\rightarrow"}, {U'\u2190', "\\leftarrow"}, {U'\u2191', "\\uparrow"},
        {U'\u2193', "\\downarrow"}, {U'\u2194', "\\leftrightarrow"},
        {U'\u21D2', "\\Rightarrow"}, {U'\u21D0', "\\Leftarrow"}, {U'\u21D1', "\\Uparrow"},
        {U'\u21D3', "\\Downarrow"}, {U'\u21D4', "\\Leftrightarrow"},
        {U'\u2211', "\\sum"}, {U'\u220F', "\\prod"}, {U'\u222B', "\\int"},
        {U'\u221A', "\\surd"}, {U'\u2208', "\\in"}, {U'\u2209', "\\notin"},
        {U'\u220B', "\\ni"}, {U'\u2200', "\\forall"}, {U'\u2203', "\\exists"},
        {U'\u2205', "\\emptyset"}, {U'\u2229', "\\cap"}, {U'\u222A', "\\cup"},
        {U'\u2282', "\\subset"}, {U'\u2283', "\\supset"}, {U'\u2286', "\\subseteq"},
        {U'\u2287', "\\supseteq"}, {U'\u2284', "\\not\\subset"}, {U'\u2220', "\\angle"},
        {U'\u2032', "\\prime"}, {U'\u2033', "\\prime\\prime"}, {U'\u2135', "\\aleph"},
        {U'\u2111', "\\Im"}, {U'\u211C', "\\Re"}, {U'\u2118', "\\wp"},
        {U'\u2297', "\\otimes"}, {U'\u2295', "\\oplus"}, {U'\u2227', "\\wedge"},
        {U'\u2228', "\\vee"}, {U'\u00AC', "\\neg"}, {U'\u2022', "\\bullet"},
        {U'\u2026', "\\ldots"}, {U'\u22C5', "\\cdot"}, {U'\u2217', "\\ast"},
        {U'\u2212', "-"}, {U'\u2234', "\\therefore"}, {U'\u22A5', "\\perp"},
        {U'\u2663', "\\clubsuit"}, {U'\u2666', "\\diamondsuit"}, {U'\u2665', "\\heartsuit"},
        {U'\u2660', "\\spadesuit"}, {U'\u25CA', "\\lozenge"}, {U'\u2329', "\\langle"},
        {U'\u232A', "\\rangle"}, {U'\u2044', "/"}, {U'\u0192', "f"},
        {U'\u203E', "\\overline{\\phantom{x}}"},
    };
    for (const auto& e : tabelle)
        if (e.u == u) return e.l;
    return nullptr;
}

bool IstAsciiAlnum(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// A UTF-8 text for LaTeX text mode.
std::string TextEscape(const std::string& utf8) {
    std::string s;
    for (char c : utf8) {
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
        default: s += c;
        }
    }
    return s;
}

std::string LatexIdent(const M& m) {
    std::size_t n = 0;
    const char32_t u = ErstesZeichen(m.t, n);
    if (m.t.empty()) return {};
    if (n == m.t.size()) {
        if (const char* l = LatexSymbol(u)) return l;
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
            return m.aufrecht ? "\\mathrm{" + m.t + "}" : m.t;
        if (std::strchr("#$%&_{}", int(u)) && u < 0x80) return std::string("\\") + char(u);
        if (u < 0x80 && std::strchr("()[]+-*/<>=!?.,;:'|", int(u))) return m.t;
        return "\\text{" + TextEscape(m.t) + "}";
    }
    if (IstAsciiAlnum(m.t)) return (m.aufrecht ? "\\mathrm{" : "\\mathit{") + m.t + "}";
    return m.aufrecht ? "\\text{" + TextEscape(m.t) + "}"
                      : "\\text{\\textit{" + TextEscape(m.t) + "}}";
}

std::string LatexZahl(const std::string& s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ',') r += "{,}";
        else if (c == '%') r += "\\%";
        else if (c == 'E' || c == 'e') {
            r += "\\mathrm{E}{" + s.substr(i + 1) + "}";
            break;
        } else if (c != ' ') r += c;
    }
    return r;
}

// A base that takes an index or exponent without braces.
bool Einfach(const M& m) {
    switch (m.art) {
    case M::Ident: case M::Klammer: case M::Funktion: case M::Akzent: case M::Wurzel:
        return true;
    case M::Zahl: return m.t.size() == 1;
    case M::Text: return true;
    default: return false;
    }
}

std::string L(const M& m);

std::string Basis(const M& b) {
    const std::string s = L(b);
    return Einfach(b) ? s : "{" + s + "}";
}

std::string Klammerzeichen(const std::string& z) {
    if (z == "{") return "\\{";
    if (z == "}") return "\\}";
    return z;
}

std::string L(const M& m) {
    switch (m.art) {
    case M::Reihe: {
        std::string s;
        for (const M& c : m.k) {
            const std::string t = L(c);
            if (t.empty()) continue;
            if (!s.empty()) s += ' ';
            s += t;
        }
        return s;
    }
    case M::Ident: return LatexIdent(m);
    case M::Zahl: return LatexZahl(m.t);
    case M::Op: return m.t2;
    case M::Text: {
        // The middle dot is written as the math operator between pieces of text (KaTeX
        // has no text-mode middle dot).
        std::string s;
        std::size_t a = 0;
        for (;;) {
            const std::size_t p = m.t.find("\xC2\xB7", a);
            const std::string stueck = m.t.substr(a, p == std::string::npos ? std::string::npos : p - a);
            if (!stueck.empty()) s += (s.empty() ? "" : " ") + std::string("\\text{") + TextEscape(stueck) + "}";
            if (p == std::string::npos) break;
            s += s.empty() ? "\\cdot" : " \\cdot";
            a = p + 2;
        }
        return s;
    }
    case M::Bruch: return "\\frac{" + L(m.k[0]) + "}{" + L(m.k[1]) + "}";
    case M::Wurzel:
        return "\\sqrt" + (m.t.empty() ? std::string() : "[" + m.t + "]") + "{" + L(m.k[0]) + "}";
    case M::Hoch:
        if (m.k[0].art == M::Tief && Einfach(m.k[0].k[0]))
            return L(m.k[0]) + "^{" + L(m.k[1]) + "}";
        return Basis(m.k[0]) + "^{" + L(m.k[1]) + "}";
    case M::Tief: return Basis(m.k[0]) + "_{" + L(m.k[1]) + "}";
    case M::Klammer: {
        const std::string innen = L(m.k[0]);
        return "\\left" + Klammerzeichen(m.t) + (innen.empty() ? "" : " " + innen) + " \\right" +
               Klammerzeichen(m.t2);
    }
    case M::Gross: {
        std::string s = m.t == "sum" ? "\\sum" : m.t == "prod" ? "\\prod" : "\\int";
        const std::string unten = L(m.k[0]), oben = L(m.k[1]);
        if (!unten.empty()) s += "_{" + unten + "}";
        if (!oben.empty()) s += "^{" + oben + "}";
        return s;
    }
    case M::Stapel: {
        std::string s = "\\begin{gathered}";
        bool erste = true;
        for (const M& c : m.k) {
            if (!erste) s += " \\\\";
            s += " " + L(c);
            erste = false;
        }
        return s + " \\end{gathered}";
    }
    case M::Funktion: return m.t + L(m.k[0]);
    case M::Abstand: return m.t == "thin" ? "\\," : m.t == "quad" ? "\\quad" : "\\qquad";
    case M::Akzent: {
        const char a = m.t.empty() ? '-' : m.t[0];
        const char* befehl = a == '-' ? "\\vec" : a == '.' ? "\\dot" : a == ':' ? "\\ddot"
                           : a == '^' ? "\\hat" : a == '~' ? "\\tilde" : a == '=' ? "\\bar"
                                                                       : "\\underline";
        return std::string(befehl) + "{" + L(m.k[0]) + "}";
    }
    }
    return {};
}

// ---- MathML ---------------------------------------------------------------------------

std::string ML(const M& m);

std::string MLFolge(const std::vector<M>& k) {
    std::string s;
    for (const M& c : k) s += ML(c);
    return s;
}

std::string Mo(const std::string& z, const char* attribute = "") {
    return std::string("<mo") + attribute + ">" + XmlEscape(z) + "</mo>";
}

std::string ML(const M& m) {
    switch (m.art) {
    case M::Reihe:
        if (m.k.size() == 1) return ML(m.k[0]);
        return m.k.empty() ? "<mrow/>" : "<mrow>" + MLFolge(m.k) + "</mrow>";
    case M::Ident: {
        std::size_t n = 0;
        const char32_t u = ErstesZeichen(m.t, n);
        const bool einzeln = n == m.t.size();
        std::string attr;
        if (einzeln && (m.aufrecht || (u >= 0x391 && u <= 0x3A9)))
            attr = " mathvariant=\"normal\"";
        else if (!einzeln && !m.aufrecht)
            attr = " mathvariant=\"italic\"";
        return "<mi" + attr + ">" + XmlEscape(m.t) + "</mi>";
    }
    case M::Zahl: {
        std::string t;
        for (char c : m.t)
            if (c != ' ') t += c;
        return "<mn>" + XmlEscape(t) + "</mn>";
    }
    case M::Op: return Mo(m.t);
    case M::Text: return "<mtext>" + XmlEscape(m.t) + "</mtext>";
    case M::Bruch: return "<mfrac>" + ML(m.k[0]) + ML(m.k[1]) + "</mfrac>";
    case M::Wurzel:
        if (m.t.empty()) return "<msqrt>" + ML(m.k[0]) + "</msqrt>";
        return "<mroot>" + ML(m.k[0]) + "<mn>" + m.t + "</mn></mroot>";
    case M::Hoch:
        if (m.k[0].art == M::Tief)
            return "<msubsup>" + ML(m.k[0].k[0]) + ML(m.k[0].k[1]) + ML(m.k[1]) + "</msubsup>";
        return "<msup>" + ML(m.k[0]) + ML(m.k[1]) + "</msup>";
    case M::Tief: return "<msub>" + ML(m.k[0]) + ML(m.k[1]) + "</msub>";
    case M::Klammer:
        return "<mrow>" + Mo(m.t, " fence=\"true\" stretchy=\"true\"") + ML(m.k[0]) +
               Mo(m.t2, " fence=\"true\" stretchy=\"true\"") + "</mrow>";
    case M::Gross: {
        const std::string z = m.t == "sum" ? "\xE2\x88\x91" : m.t == "prod" ? "\xE2\x88\x8F"
                                                                            : "\xE2\x88\xAB";
        const std::string zeichen = Mo(z, " largeop=\"true\"");
        const bool unten = !L(m.k[0]).empty(), oben = !L(m.k[1]).empty();
        const char* tag = m.t == "int" ? (unten && oben ? "msubsup" : unten ? "msub" : "msup")
                                       : (unten && oben ? "munderover" : unten ? "munder" : "mover");
        if (!unten && !oben) return zeichen;
        return std::string("<") + tag + ">" + zeichen + (unten ? ML(m.k[0]) : "") +
               (oben ? ML(m.k[1]) : "") + "</" + tag + ">";
    }
    case M::Stapel: {
        std::string s = "<mtable>";
        for (const M& c : m.k) s += "<mtr><mtd>" + ML(c) + "</mtd></mtr>";
        return s + "</mtable>";
    }
    case M::Funktion:
        return "<mrow><mi>" + XmlEscape(m.t2) + "</mi><mo>\xE2\x81\xA1</mo>" + ML(m.k[0]) +
               "</mrow>";
    case M::Abstand:
        return std::string("<mspace width=\"") +
               (m.t == "thin" ? "0.1667em" : m.t == "quad" ? "1em" : "2em") + "\"/>";
    case M::Akzent: {
        const char a = m.t.empty() ? '-' : m.t[0];
        if (a == '_') return "<munder accentunder=\"true\">" + ML(m.k[0]) + Mo("_") + "</munder>";
        const char* z = a == '-' ? "\xE2\x86\x92" : a == '.' ? "\xCB\x99" : a == ':' ? "\xC2\xA8"
                      : a == '^' ? "^" : a == '~' ? "\xCB\x9C" : "\xC2\xAF";
        return "<mover accent=\"true\">" + ML(m.k[0]) + Mo(z) + "</mover>";
    }
    }
    return {};
}

std::string Html(const M& m) {
    switch (m.art) {
    case M::Ident: case M::Zahl: case M::Text: case M::Op: return XmlEscape(m.t);
    case M::Hoch: return Html(m.k[0]) + "<sup>" + Html(m.k[1]) + "</sup>";
    case M::Tief: return Html(m.k[0]) + "<sub>" + Html(m.k[1]) + "</sub>";
    default: {
        std::string s;
        for (const M& c : m.k) s += Html(c);
        return s;
    }
    }
}

} // namespace

std::string AlsLatex(const M& m) { return L(m); }

std::string AlsMathML(const M& m, const std::string& alttext) {
    std::string s = "<math xmlns=\"http://www.w3.org/1998/Math/MathML\" display=\"block\"";
    if (!alttext.empty()) s += " alttext=\"" + alttext + "\"";
    return s + ">" + ML(m) + "</math>";
}

std::string AlsHtmlText(const M& m) { return Html(m); }

std::string AlsLatexText(const M& m) {
    switch (m.art) {
    case M::Text: return TextEscape(m.t);
    case M::Reihe: {
        std::string s;
        for (const M& c : m.k) s += AlsLatexText(c);
        return s;
    }
    default: return "$" + L(m) + "$";
    }
}

} // namespace kd
