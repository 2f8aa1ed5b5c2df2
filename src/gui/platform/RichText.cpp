#include "gui/platform/RichText.h"

#include <QSignalBlocker>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>

#include <algorithm>
#include <vector>

#include "core/Types.h"
#include "core/numeric/Encoding.h"
#include "core/numeric/SymbolFont.h"

namespace kd {

namespace {

int umwandlungen = 0;  // nesting depth of running conversions

// Sets the unit-wide flag and blocks the edit's signals for one conversion.
class Umwandlung {
public:
    explicit Umwandlung(QTextEdit* edit) : blocker_(edit) { ++umwandlungen; }
    ~Umwandlung() { --umwandlungen; }
    Umwandlung(const Umwandlung&) = delete;
    Umwandlung& operator=(const Umwandlung&) = delete;

private:
    QSignalBlocker blocker_;
};

// One visible character of a formula text.
struct Formelzeichen {
    std::size_t start;  // byte offset of its first prefix
    unsigned char zeichen;
    bool symbol;
    bool index;
};

std::vector<Formelzeichen> Zerlegen(std::string_view t) {
    std::vector<Formelzeichen> z;
    const std::size_t n = t.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t start = i;
        const char c = t[i];
        if (c == '~' && i + 1 < n) {
            if (t[i + 1] == '|' && i + 2 < n) {
                z.push_back({start, static_cast<unsigned char>(t[i + 2]), true, true});
                i += 3;
            } else {
                z.push_back({start, static_cast<unsigned char>(t[i + 1]), true, false});
                i += 2;
            }
        } else if (c == '|' && i + 1 < n) {
            z.push_back({start, static_cast<unsigned char>(t[i + 1]), false, true});
            i += 2;
        } else {
            z.push_back({start, static_cast<unsigned char>(c), false, false});
            ++i;
        }
    }
    return z;
}

QFont StandardSchrift(const QTextDocument* doc) { return doc->defaultFont(); }

double PixelZuPunkt(double px) { return px * 72.0 / 96.0; }

// The size a character is drawn at, in points.
double Punkte(const QTextCharFormat& f, const QFont& standard) {
    if (f.hasProperty(QTextFormat::FontPointSize)) return f.fontPointSize();
    if (f.hasProperty(QTextFormat::FontPixelSize))
        return PixelZuPunkt(f.intProperty(QTextFormat::FontPixelSize));
    if (standard.pointSizeF() > 0) return standard.pointSizeF();
    if (standard.pixelSize() > 0) return PixelZuPunkt(standard.pixelSize());
    return 9.0;
}

bool IstSymbolSchrift(const QTextCharFormat& f) {
    const QStringList familien = f.fontFamilies().toStringList();
    return !familien.isEmpty() && familien.front().compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
}

// The Symbol byte a character stands for, or -1 when it is an ordinary character.
int SymbolByte(char32_t u, const QTextCharFormat& f) {
    if (f.hasProperty(SymbolByteProperty)) {
        const int b = f.intProperty(SymbolByteProperty);
        // Typing next to a Greek letter copies its format; only a character that is
        // still the letter of its byte counts.
        if (b > 0 && b < 256) {
            const auto byte = static_cast<unsigned char>(b);
            const char32_t soll = SymbolZuUnicode(byte);
            if (soll == u || (soll == 0 && Cp1252ToUnicode(byte) == u)) return b;
        }
    }
    if (IstSymbolSchrift(f)) {
        const int b = UnicodeToCp1252(u);
        if (b >= 32) return b;
    }
    if (u > 127) {
        // A pasted Greek letter or mathematical sign. Characters that Windows-1252
        // holds stay themselves unless they are letters (µ is the Greek mu).
        const bool buchstabe = QChar::isLetter(u);
        if (buchstabe || UnicodeToCp1252(u) < 0) {
            const int b = UnicodeZuSymbol(u);
            if (b > 0) return b;
        }
    }
    return -1;
}

struct Dokumentzeichen {
    char32_t u;
    QTextCharFormat f;
};

// The first `max` characters of the document with their formats.
std::vector<Dokumentzeichen> Zeichen(const QTextDocument* doc, std::size_t max) {
    std::vector<Dokumentzeichen> z;
    for (QTextBlock b = doc->begin(); b.isValid() && z.size() < max; b = b.next()) {
        if (b != doc->begin()) z.push_back({U'\n', b.charFormat()});
        for (auto it = b.begin(); !it.atEnd() && z.size() < max; ++it) {
            const QTextFragment fr = it.fragment();
            if (!fr.isValid()) continue;
            const QTextCharFormat f = fr.charFormat();
            for (char32_t u : fr.text().toUcs4()) {
                if (u == QChar::ObjectReplacementCharacter) continue;  // pictures
                if (u == QChar::LineSeparator || u == QChar::ParagraphSeparator) u = U'\n';
                if (u == QChar::Nbsp) u = U' ';
                z.push_back({u, f});
                if (z.size() >= max) break;
            }
        }
    }
    return z;
}

} // namespace

bool RichTextUmwandlungLaeuft() { return umwandlungen > 0; }

QTextCharFormat NormalFormat(double punkte) {
    QTextCharFormat f;
    f.setFontFamilies({QString::fromLatin1(NormalFamilie)});
    f.setFontPointSize(punkte);
    return f;
}

QTextCharFormat SymbolFormat(unsigned char byte, double punkte) {
    QTextCharFormat f;
    f.setFontFamilies({QString::fromLatin1(SymbolFamilie)});
    f.setFontPointSize(punkte);
    f.setProperty(SymbolByteProperty, static_cast<int>(byte));
    return f;
}

void Tiefstellen(QTextCharFormat& f) {
    f.setFontPointSize(IndexPunkte);
    f.setBaselineOffset(IndexAbsenkung);
}

QTextCharFormat IndexFormat() {
    QTextCharFormat f = NormalFormat(IndexPunkte);
    Tiefstellen(f);
    return f;
}

QChar SymbolZeichen(unsigned char byte) {
    char32_t u = SymbolZuUnicode(byte);
    if (u == 0) u = Cp1252ToUnicode(byte);
    if (u > 0xFFFF) return QChar(QChar::ReplacementCharacter);
    return QChar(static_cast<char16_t>(u));
}

void SymbolEinfuegen(QTextCursor& cursor, unsigned char byte, double punkte, bool index) {
    QTextCharFormat f = SymbolFormat(byte, punkte);
    if (index) Tiefstellen(f);
    cursor.insertText(QString(SymbolZeichen(byte)), f);
    cursor.setCharFormat(NormalFormat(punkte));
}

namespace {

// A Unicode subscript letter or digit: the character it is an index of, else 0.
char Tiefgestellt(char32_t u) {
    if (u >= 0x2080 && u <= 0x2089) return char('0' + (u - 0x2080));
    switch (u) {
    case 0x208A: return '+';
    case 0x208B: return '-';
    case 0x2090: return 'a';
    case 0x2091: return 'e';
    case 0x2092: return 'o';
    case 0x2093: return 'x';
    case 0x2095: return 'h';
    case 0x2096: return 'k';
    case 0x2097: return 'l';
    case 0x2098: return 'm';
    case 0x2099: return 'n';
    case 0x209A: return 'p';
    case 0x209B: return 's';
    case 0x209C: return 't';
    case 0x1D62: return 'i';
    case 0x1D63: return 'r';
    case 0x1D64: return 'u';
    case 0x1D65: return 'v';
    case 0x2C7C: return 'j';
    default: return 0;
    }
}

// A Unicode superscript that Windows-1252 does not hold (it has "¹²³" itself): the
// character of the exponent, else 0.
char Hochgestellt(char32_t u) {
    if (u >= 0x2074 && u <= 0x2079) return char('4' + (u - 0x2074));
    switch (u) {
    case 0x2070: return '0';
    case 0x207A: return '+';
    case 0x207B: return '-';
    case 0x207F: return 'n';
    case 0x2071: return 'i';
    default: return 0;
    }
}

} // namespace

QString FremdeZeichenText(const QString& zeichen) {
    return QStringLiteral("Die Zeichen \u201E%1\u201C k\u00F6nnen in einer Formel nicht stehen. "
                          "Der Text wurde nicht \u00FCbernommen.")
        .arg(zeichen);
}

bool HatHochOderTiefgestellte(QTextEdit* edit) {
    if (!edit) return false;
    for (const Dokumentzeichen& d : Zeichen(edit->document(), KurzerStringMax))
        if (Tiefgestellt(d.u) || Hochgestellt(d.u)) return true;
    return false;
}

std::string RichTextZuFormeltext(QTextEdit* edit, std::size_t grenze) {
    return RichTextZuFormeltext(edit, nullptr, grenze);
}

std::string RichTextZuFormeltext(QTextEdit* edit, QString* nichtDarstellbar, std::size_t grenze) {
    if (!edit) return std::string();
    Umwandlung u(edit);
    const QTextDocument* doc = edit->document();
    std::vector<Dokumentzeichen> z = Zeichen(doc, grenze);
    std::size_t anfang = 0;
    std::size_t ende = z.size();
    while (anfang < ende && z[anfang].u < 32) ++anfang;
    while (ende > anfang && z[ende - 1].u < 32) --ende;

    const QFont standard = StandardSchrift(doc);
    std::string text;
    for (std::size_t i = anfang; i < ende; ++i) {
        const Dokumentzeichen& d = z[i];
        std::string teil;
        // Pasted sub- and superscripts become the formula's own notation: "s₁" the
        // index "s|1", "x⁻¹" the power "x^(-1)".
        if (const char t = Tiefgestellt(d.u)) {
            teil = {'|', t};
        } else if (Hochgestellt(d.u) || ((d.u == 0xB9 || d.u == 0xB2 || d.u == 0xB3) &&
                                         i + 1 < ende && Hochgestellt(z[i + 1].u))) {
            std::string hoch;
            std::size_t j = i;
            for (; j < ende; ++j) {
                char h = Hochgestellt(z[j].u);
                if (z[j].u == 0xB9) h = '1';
                if (z[j].u == 0xB2) h = '2';
                if (z[j].u == 0xB3) h = '3';
                if (!h) break;
                hoch += h;
            }
            teil = hoch.size() == 1 ? "^" + hoch : "^(" + hoch + ")";
            if (text.size() + teil.size() > KurzerStringMax) break;
            text += teil;
            i = j - 1;
            continue;
        }
        if (!teil.empty()) {
            if (text.size() + teil.size() > KurzerStringMax) break;
            text += teil;
            continue;
        }
        const int symbol = SymbolByte(d.u, d.f);
        const bool index = Punkte(d.f, standard) < IndexGrenzePunkte;
        if (symbol >= 0) teil += '~';
        if (index) teil += '|';
        if (symbol >= 0) {
            teil += static_cast<char>(symbol);
        } else {
            const int c = UnicodeToCp1252(d.u);
            teil += c >= 0 ? static_cast<char>(c) : '?';
            if (c < 0 && nichtDarstellbar) *nichtDarstellbar += QString::fromUcs4(&d.u, 1);
        }
        // Whole characters only: a prefix never ends the text without its character.
        if (text.size() + teil.size() > grenze) break;
        text += teil;
    }
    return text;
}

void FormeltextZuRichText(std::string_view formeltext, QTextEdit* edit, double punkte) {
    if (!edit) return;
    Umwandlung u(edit);
    const int caret = edit->textCursor().position();
    QTextCursor c(edit->document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setCharFormat(NormalFormat(punkte));
    c.setBlockCharFormat(NormalFormat(punkte));
    const std::string_view text = formeltext.substr(0, std::min(formeltext.size(), KurzerStringMax));
    if (text.find_first_not_of(' ') != std::string_view::npos) {
        for (const Formelzeichen& z : Zerlegen(text)) {
            QTextCharFormat f = z.symbol ? SymbolFormat(z.zeichen, punkte) : NormalFormat(punkte);
            if (z.index) Tiefstellen(f);
            const char32_t uc = z.symbol ? SymbolZeichen(z.zeichen).unicode() : Cp1252ToUnicode(z.zeichen);
            c.insertText(QString::fromUcs4(&uc, 1), f);
        }
    }
    c.endEditBlock();
    QTextCursor neu = edit->textCursor();
    neu.setPosition(std::min(caret, static_cast<int>(edit->document()->characterCount()) - 1));
    edit->setTextCursor(neu);
    edit->setCurrentCharFormat(NormalFormat(punkte));
}

std::size_t FormeltextPosition(std::string_view formeltext, int sichtbar) {
    if (sichtbar < 0) return 0;
    const std::vector<Formelzeichen> z = Zerlegen(formeltext);
    if (static_cast<std::size_t>(sichtbar) >= z.size()) return formeltext.size();
    return z[static_cast<std::size_t>(sichtbar)].start;
}

} // namespace kd
