// Formulas as LaTeX and MathML, and a library as a web page and a LaTeX document. The
// tests under tests/cli (export_consumers.sh) hand every exported formula to KaTeX and
// to an XML parser; here the table pins what each construct becomes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/export/Dokumentexport.h"
#include "core/export/Formelexport.h"
#include "core/pictures/Bild.h"
#include "core/pictures/Jpeg.h"

using namespace kd;

namespace {

std::string Innen(const std::string& mathml) {
    const std::size_t a = mathml.find('>');
    const std::size_t e = mathml.rfind("</math>");
    return mathml.substr(a + 1, e - a - 1);
}

} // namespace

TEST(Formelexport, ConstructsAsLatexAndMathML) {
    struct Fall {
        const char* text;  // Windows-1252
        bool bedingung;
        const char* latex;
        const char* mathml;  // inside <math>, or null
    };
    const Fall faelle[] = {
        // Fractions; a/b/c is set as a over b·c, as the page sets it.
        {"y=a/b/c", false, "y = \\frac{a}{b \\cdot c}", nullptr},
        // Roots with and without degree.
        {"a=WURZEL3(V)", false, "a = \\sqrt[3]{V}",
         "<mrow><mi>a</mi><mo>=</mo><mroot><mi>V</mi><mn>3</mn></mroot></mrow>"},
        {"y=WURZEL4(x+1)", false, "y = \\sqrt[4]{x + 1}", nullptr},
        {"x|1=-p/2+WURZEL((p/2)^2-q)", false,
         "x_{1} = - \\frac{p}{2} + \\sqrt{\\left( \\frac{p}{2} \\right)^{2} - q}", nullptr},
        // Powers, QUADRAT, an index under a power, index groups.
        {"y=QUADRAT(a+b)", false, "y = \\left( a + b \\right)^{2}", nullptr},
        {"y=e^(-t^2)", false, "y = e^{- t^{2}}", nullptr},
        {"y=x|1^2", false, "y = x_{1}^{2}",
         "<mrow><mi>y</mi><mo>=</mo><msubsup><mi>x</mi><mn>1</mn><mn>2</mn></msubsup></mrow>"},
        {"E|k|i|n=m/2*v^2", false, "E_{\\mathrm{kin}} = \\frac{m}{2} \\cdot v^{2}",
         "<mrow><msub><mi>E</mi><mi>kin</mi></msub><mo>=</mo><mrow><mfrac><mi>m</mi><mn>2</mn>"
         "</mfrac><mo>\xE2\x8B\x85</mo><msup><mi>v</mi><mn>2</mn></msup></mrow></mrow>"},
        // Symbol letters, upright capitals.
        {"~a=~a|G*~p/180", false, "\\alpha = \\alpha_{G} \\cdot \\frac{\\pi}{180}", nullptr},
        {"y=~W+~D|T", false, "y = \\Omega + \\Delta_{T}",
         "<mrow><mi>y</mi><mo>=</mo><mrow><mi mathvariant=\"normal\">\xCE\xA9</mi><mo>+</mo>"
         "<msub><mi mathvariant=\"normal\">\xCE\x94</mi><mi>T</mi></msub></mrow></mrow>"},
        // Sums and products with their limits; the body in parentheses only when it is a sum.
        {"s=SUMME(k=1;n;k^2)", false, "s = \\sum_{k = 1}^{n} k^{2}",
         "<mrow><mi>s</mi><mo>=</mo><mrow><munderover><mo largeop=\"true\">\xE2\x88\x91</mo>"
         "<mrow><mi>k</mi><mo>=</mo><mn>1</mn></mrow><mi>n</mi></munderover><msup><mi>k</mi>"
         "<mn>2</mn></msup></mrow></mrow>"},
        {"P=PRODUKT(k=1;n;k+1)", false, "P = \\prod_{k = 1}^{n} \\left( k + 1 \\right)", nullptr},
        // Integrals: the d and the variable; from minus to plus infinity.
        {"A=INTEGRAL(x=a;b;x^2*dx)", false, "A = \\int_{a}^{b} x^{2} \\, \\mathrm{d} x",
         "<mrow><mi>A</mi><mo>=</mo><mrow><msubsup><mo largeop=\"true\">\xE2\x88\xAB</mo><mi>a</mi>"
         "<mi>b</mi></msubsup><msup><mi>x</mi><mn>2</mn></msup><mspace width=\"0.1667em\"/>"
         "<mi mathvariant=\"normal\">d</mi><mi>x</mi></mrow></mrow>"},
        {"y=INTEGRAL(x=-~\xA5;~\xA5;e^(-x^2)*dx)", false,
         "y = \\int_{- \\infty}^{\\infty} e^{- x^{2}} \\, \\mathrm{d} x", nullptr},
        {"s=INTEGRAL(t=0;T;(v|0+a*t)*dt)", false,
         "s = \\int_{0}^{T} \\left( v_{0} + a \\cdot t \\right) \\, \\mathrm{d} t", nullptr},
        // A body without its differential stays as written.
        {"y=INTEGRAL(x=0;1;x)", false, "y = \\int_{0}^{1} x", nullptr},
        // GAMMA, ABS, FAKULTÄT.
        {"y=GAMMA(x+1)", false, "y = \\Gamma \\left( x + 1 \\right)", nullptr},
        {"y=ABS(x-a)", false, "y = \\left| x - a \\right|",
         "<mrow><mi>y</mi><mo>=</mo><mrow><mo fence=\"true\" stretchy=\"true\">|</mo><mrow><mi>x</mi>"
         "<mo>\xE2\x88\x92</mo><mi>a</mi></mrow><mo fence=\"true\" stretchy=\"true\">|</mo></mrow></mrow>"},
        {"C=FAKULT\xC4T(n)/(FAKULT\xC4T(k)*FAKULT\xC4T(n-k))", false,
         "C = \\frac{n !}{k ! \\cdot \\left( n - k \\right) !}", nullptr},
        // Functions as upright operator names.
        {"y=ATN(a/b)+LN(x)+LOG(x)+SINH(x)", false,
         "y = \\arctan\\left( \\frac{a}{b} \\right) + \\ln\\left( x \\right) + \\log\\left( x \\right) + "
         "\\sinh\\left( x \\right)", nullptr},
        {"y=SIN(x)^2+COS(x)^2", false,
         "y = \\sin\\left( x \\right)^{2} + \\cos\\left( x \\right)^{2}", nullptr},
        {"y=RUNDEN(x)+INT(x)", false,
         "y = \\operatorname{Runden}\\left( x \\right) + \\operatorname{Abrunden}\\left( x \\right)",
         nullptr},
        {"y=SIN(x)", false, "y = \\sin\\left( x \\right)",
         "<mrow><mi>y</mi><mo>=</mo><mrow><mi>sin</mi><mo>\xE2\x81\xA1</mo><mrow><mo fence=\"true\" "
         "stretchy=\"true\">(</mo><mi>x</mi><mo fence=\"true\" stretchy=\"true\">)</mo></mrow></mrow></mrow>"},
        // Brackets where the page sets them, and only there.
        {"y=a-(b+c)", false, "y = a - \\left( b + c \\right)", nullptr},
        {"y=(a*b)+c", false, "y = a \\cdot b + c", nullptr},
        // Comparisons and conditions, stacked with their connective.
        {"a>=b", true, "a \\ge b", nullptr},
        {"a<=b;und;c<>d", true,
         "\\begin{gathered} a \\le b \\\\ \\text{und} \\\\ c \\ne d \\end{gathered}", nullptr},
        // Sub-formulas stacked and side by side.
        {"A=a*b:U=2*(a+b)", false,
         "A = a \\cdot b \\qquad U = 2 \\cdot \\left( a + b \\right)", nullptr},
        {"A=1;s=2", false, "\\begin{gathered} A = 1 \\\\ s = 2 \\end{gathered}",
         "<mtable><mtr><mtd><mrow><mi>A</mi><mo>=</mo><mn>1</mn></mrow></mtd></mtr><mtr><mtd><mrow>"
         "<mi>s</mi><mo>=</mo><mn>2</mn></mrow></mtd></mtr></mtable>"},
        // Comments and legends as text; LaTeX's special characters escaped.
        {"y=0,5*x \"Grad\"", false, "y = 0{,}5 \\cdot x \\quad \\text{Grad}",
         "<mrow><mrow><mi>y</mi><mo>=</mo><mrow><mn>0,5</mn><mo>\xE2\x8B\x85</mo><mi>x</mi></mrow>"
         "</mrow><mspace width=\"1em\"/><mtext>Grad</mtext></mrow>"},
        {"y=x{\xDC" "berschrift $ & % # _ \\}", false,
         "\\begin{gathered} y = x \\\\ \\text{\xC3\x9C" "berschrift \\$ \\& \\% \\# \\_ \\textbackslash{}} "
         "\\end{gathered}", nullptr},
        {"S=SUMME(k=1;n;1/k^2) {Grenzwert ~p^2/6}", false,
         "\\begin{gathered} S = \\sum_{k = 1}^{n} \\frac{1}{k^{2}} \\\\ \\text{Grenzwert } \\pi^{2} "
         "\\text{/6} \\end{gathered}", nullptr},
        {"y=a*b {a\xB7" "b}", false,
         "\\begin{gathered} y = a \\cdot b \\\\ \\text{a} \\cdot \\text{b} \\end{gathered}", nullptr},
        // Numbers keep their decimal comma; the exponent stays.
        {"y=1,5E-3*x", false, "y = 1{,}5\\mathrm{E}{-3} \\cdot x", nullptr},
        // Table references as text; accents; names of several letters.
        {"y=T[i,2]*2", false, "y = \\text{T[i,2]} \\cdot 2", nullptr},
        {"y=v|-*t", false, "y = \\vec{v} \\cdot t", nullptr},
        {"y=L\xE4nge*dx", false, "y = \\text{\\textit{L\xC3\xA4nge}} \\cdot \\mathit{dx}", nullptr},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.text);
        ExportOptionen o;
        o.Bedingung = f.bedingung;
        const Formelexport e = FormelExportieren(f.text, o);
        ASSERT_TRUE(e.Ok()) << e.Code;
        EXPECT_EQ(e.Latex, f.latex);
        EXPECT_EQ(e.MathML.rfind("<math xmlns=\"http://www.w3.org/1998/Math/MathML\" display=\"block\">", 0), 0u);
        if (f.mathml) {
            EXPECT_EQ(Innen(e.MathML), f.mathml);
        }
    }
}

TEST(Formelexport, LegendAsHeadingAltTextAndErrors) {
    ExportOptionen o;
    o.LegendeAlsTitel = true;
    o.Alttext = "S=a \"<b>\" & ~p";
    const Formelexport e = FormelExportieren("S=a*~p {Fl\xE4" "che ~p^2 & r|0}", o);
    ASSERT_TRUE(e.Ok());
    EXPECT_EQ(e.Latex, "S = a \\cdot \\pi");
    EXPECT_EQ(e.Legende, "Fl\xC3\xA4" "che \xCF\x80^2 & r0");
    EXPECT_EQ(e.LegendeHtml, "Fl\xC3\xA4" "che \xCF\x80<sup>2</sup> &amp; r<sub>0</sub>");
    EXPECT_EQ(e.LegendeLatex, "Fl\xC3\xA4" "che $\\pi^{2}$ \\& $\\text{r}_{0}$");
    EXPECT_NE(e.MathML.find("alttext=\"S=a &quot;&lt;b&gt;&quot; &amp; ~p\""), std::string::npos);

    // A legend inside a sub-formula stays in the formula.
    const Formelexport innen = FormelExportieren("y=1 {a}:z=2", o);
    ASSERT_TRUE(innen.Ok());
    EXPECT_TRUE(innen.Legende.empty());

    for (const char* falsch : {"y=(a+b", "2*x", "y=", "y=SUMME(k=1;n", ""}) {
        SCOPED_TRACE(falsch);
        const Formelexport f = FormelExportieren(falsch);
        EXPECT_FALSE(f.Ok());
        EXPECT_TRUE(f.Latex.empty());
        EXPECT_TRUE(f.MathML.empty());
    }
}

TEST(Formelexport, Base64AndTextEscapes) {
    const struct {
        const char* roh;
        const char* b64;
    } rfc4648[] = {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
                   {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
    for (const auto& t : rfc4648) {
        const std::string s = t.roh;
        EXPECT_EQ(Base64(std::vector<std::uint8_t>(s.begin(), s.end())), t.b64);
    }
    EXPECT_EQ(LatexTextmodus("a\\b{c}$&#%_^~\xE4"),
              "a\\textbackslash{}b\\{c\\}\\$\\&\\#\\%\\_\\textasciicircum{}\\textasciitilde{}\xC3\xA4");
    EXPECT_EQ(XmlText("<a & \"b\" '\xB5'>"), "&lt;a &amp; &quot;b&quot; &apos;\xC2\xB5&apos;&gt;");
}

TEST(Formelexport, LibraryAsPageAndDocument) {
    FormelListeTyp liste;
    auto neu = [&](const std::string& text) {
        auto f = std::make_unique<TFormelBiblio>();
        f->FormelText = text;
        return liste.Add(std::move(f));
    };
    neu("v=s/t {Geschwindigkeit & Weg}");
    neu("y=(a+b");  // does not parse
    Bild bild;
    ASSERT_TRUE(bild.Create(8, 4));
    TFormelBiblio* mitBild = neu("F=m*a");
    mitBild->BildTyp = 1;
    mitBild->Bild = KodiereJpeg(bild);
    TFormelBiblio* wmf = neu("p=m*v");
    wmf->BildTyp = 3;
    wmf->Bild = {1, 2, 3};

    const Exportdokument html = HtmlSeite("Physik <1>", liste);
    const std::string& s = html.Text;
    EXPECT_NE(s.find("<html lang=\"de\">"), std::string::npos);
    EXPECT_NE(s.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(s.find("<h1>Physik &lt;1&gt;</h1>"), std::string::npos);
    EXPECT_NE(s.find("<h2>Geschwindigkeit &amp; Weg</h2>"), std::string::npos);
    EXPECT_NE(s.find("alttext=\"v=s/t {Geschwindigkeit &amp; Weg}\""), std::string::npos);
    EXPECT_NE(s.find("<mfrac><mi>s</mi><mi>t</mi></mfrac>"), std::string::npos);
    EXPECT_NE(s.find("<pre>y=(a+b</pre>"), std::string::npos);
    EXPECT_NE(s.find("<img src=\"data:image/jpeg;base64," + Base64(mitBild->Bild) + "\""),
              std::string::npos);
    ASSERT_EQ(html.Hinweise.size(), 2u);
    EXPECT_EQ(html.Hinweise[0].rfind("Formel 2: ", 0), 0u);
    EXPECT_EQ(html.Hinweise[1].rfind("Formel 4: ", 0), 0u);

    const Exportdokument tex = LatexDokument("Physik & Co", liste, "phys");
    EXPECT_EQ(tex.Text.rfind("\\documentclass{article}\n", 0), 0u);
    EXPECT_NE(tex.Text.find("\\usepackage{amsmath}"), std::string::npos);
    EXPECT_NE(tex.Text.find("\\title{Physik \\& Co}"), std::string::npos);
    EXPECT_NE(tex.Text.find("\\section*{Geschwindigkeit \\& Weg}\n\\begin{equation*}\nv = \\frac{s}{t}\n"
                            "\\end{equation*}"),
              std::string::npos);
    EXPECT_NE(tex.Text.find("\\texttt{y=(a+b}"), std::string::npos);
    EXPECT_NE(tex.Text.find("{phys-bild-3.jpg}"), std::string::npos);
    ASSERT_EQ(tex.Dateien.size(), 1u);
    EXPECT_EQ(tex.Dateien[0].Name, "phys-bild-3.jpg");
    EXPECT_EQ(tex.Dateien[0].Daten, mitBild->Bild);
    EXPECT_EQ(tex.Text.substr(tex.Text.size() - 15), "\\end{document}\n");
}
