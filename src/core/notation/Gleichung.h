#pragma once
// TGleichung, the equation object: reads a formula text into terms and ordered steps and
// carries the identifiers the formula defines and uses. The typesetting builds its element
// tree from the steps (FormelAufbau, core/typeset/FormelAufbau.h); the evaluator walks them
// (Auswerten, Berechnen, core/eval/Auswertung.h).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/notation/Bezeichner.h"
#include "core/Types.h"

namespace kd {

class TMatrixObj;
class TFormStyles;
// The drawing base of the typesetting. The notation only holds the elements made while
// parsing; it never looks into them.
class TDLine;

// Frees an element the way the ElementFabrik that made it says; an empty one frees nothing.
struct Elementfreigabe {
    void (*Freigeben)(TDLine*) noexcept = nullptr;
    void operator()(TDLine* e) const noexcept {
        if (Freigeben) Freigeben(e);
    }
};
// A leaf or sign made while parsing, owned by its term.
using Termelement = std::unique_ptr<TDLine, Elementfreigabe>;

inline constexpr int MaxTerme = 80;
inline constexpr int MaxNamenslaenge = 20;

// Operator kinds that are not in the keyword table.
enum : std::int32_t {
    ArtXoder = -8, ArtUnd = -7, ArtOder = -6, ArtKommentar = -4, ArtLegende = -3,
    ArtNebeneinander = -2, ArtUntereinander = -1,
    ArtGleich = 0, ArtPlus = 1, ArtMinus = 2, ArtMal = 3, ArtGeteilt = 4, ArtHoch = 5,
    ArtAbs = 6, ArtWurzel = 21, ArtQuadrat = 24, ArtFakultaet = 25, ArtGamma = 27,
    ArtGroesserGleich = 28, ArtGleichGleich = 33,
    ArtSumme = 34, ArtIntegral = 35, ArtProdukt = 36,
    ArtMaxZeilen = 37, ArtMaxSpalten = 38, ArtMaxZeilenWerte = 39, ArtMaxSpaltenWerte = 40,
    ArtBezeichner = 108,  // 108 + n: load identifier n
};

// Keyword of kind 0..33 as matched on the upper-cased text ("FAKULT\xC4T" in Windows-1252).
extern const char* const Funktionstabelle[34];
// The longer names of the same kinds ("Abs", "SinHyp", ..., "Fakult\xE4t", "Zufallszahl").
extern const char* const Funktionsnamen[34];
// Parser messages, index = error code (1..34; entry 0 is empty). Windows-1252.
extern const char* const Fehlertexte[35];

struct Term {
    Extended Wert = 0;
    std::int32_t Art = 0;
    std::int32_t Prio = 0;
    std::int32_t TextPos = 0;
    std::int32_t SummenNr = 0;
    std::int32_t SummenStart = 0;
    std::int32_t SummenEnde = 0;      // a loop's last body term (set at its closing bracket)
    std::int32_t SummenBezeichner = 0;
    std::int32_t StartWert = 0;
    bool StartBenannt = false;
    bool EndeBenannt = false;
    std::int32_t Folge = 0;
    Termelement Element;              // leaf or sign made while parsing, or none
    Extended Rechenwert = 0;          // working value of the evaluator
};

struct Schritt {
    std::int32_t Links = 0;
    std::int32_t Rechts = 0;
    std::int32_t Art = 0;
    std::int32_t TextPos = 0;
};

// Makes the leaves and sum signs while parsing; the typesetter implements it. Each element
// comes with the way it is freed.
class ElementFabrik {
public:
    virtual ~ElementFabrik() = default;
    // A plain text leaf (TDText, tag 12) in the main font showing `text` as it stands.
    virtual Termelement TextLeaf(std::uint32_t tag, const std::string& text) = 0;
    // A formula text leaf (TFormelText): "~" and "|" codes are drawn as Symbol letters
    // and indices.
    virtual Termelement FormelTextLeaf(std::uint32_t tag, const std::string& text,
                                       std::uint32_t farbe) = 0;
    // The text a leaf shows (for the "[" annotation that extends it).
    virtual std::string LeafText(const TDLine& leaf) const = 0;
    // The sign of a sum (34), integral (35) or product (36) with its limit texts.
    virtual Termelement SummenZeichen(std::int32_t art, std::uint32_t tag,
                                      const std::string& oben, const std::string& unten) = 0;
};

class TGleichung {
public:
    struct Optionen {
        bool Sammelmodus = false;
        bool Bedingungsmodus = false;
        Bezeichnerliste* Bezeichner = nullptr;  // none: the equation keeps its own list
        Matrixliste* Matrizen = nullptr;
        TFormStyles* Stile = nullptr;
        bool EigeneStile = false;
        bool ElementeErzeugen = false;
        Bezeichnerliste* Sammelliste = nullptr;
        ElementFabrik* Fabrik = nullptr;        // the text measuring device side
    };

    TGleichung();
    explicit TGleichung(const Optionen& o);
    ~TGleichung();
    TGleichung(const TGleichung&) = delete;
    TGleichung& operator=(const TGleichung&) = delete;

    // Terms 1..80 and steps 1..79 (index 0 unused).
    std::array<Term, MaxTerme + 1> Terme;
    std::int32_t TermAnzahl = 0;
    std::int32_t LetzterTerm = 0;
    std::array<Schritt, MaxTerme> Schritte;
    // Loops, from Reihenfolge: the first body step of each loop step (0 for other steps,
    // and for a loop whose body steps are not one run before it), the loop slots
    // (bit |SummenNr|) whose body begins at each step, and the loop step of each slot.
    std::array<std::int32_t, MaxTerme> Rumpf{};
    std::array<std::uint8_t, MaxTerme + 1> Schleifenbeginn{};
    std::array<std::int32_t, 8> Schleifenschritt{};
    // The loop variables of the last parse and the "d" names of its integrals (in every
    // mode; the compute flow does not ask for them).
    std::vector<std::string> Laufvariablen;
    std::array<std::int32_t, MaxTerme + 1> XStellen{};
    std::array<std::int32_t, MaxTerme + 1> ZStellen{};
    std::int32_t XAnzahl = 0, ZAnzahl = 0;
    TFormStyles* Stile = nullptr;
    bool EigeneStile = false;
    std::uint32_t Farbe = 0;
    std::int32_t FormelAnzahl = 1;
    bool EigeneBezeichnerliste = false;
    bool Sammelmodus = false;
    bool Bedingungsmodus = false;
    std::int32_t Summentiefe = 0, Summenzahl = 0, Summenebene = 0;
    std::int32_t SummenGeschlossen = 0;           // sums closed so far
    std::array<std::int32_t, 3> Summenklammer{};  // bracket depth of the open sum, levels 1 and 2
    bool ElementeErzeugen = false;
    Bezeichnerliste* BezListe;                    // Bezeichnerliste: own or handed in
    Matrixliste* Matrizen = nullptr;
    Bezeichnerliste* Sammelliste = nullptr;
    ElementFabrik* Fabrik = nullptr;

    Bezeichnerliste& Bezeichner() { return *BezListe; }
    const Bezeichnerliste& Bezeichner() const { return *BezListe; }

    // Reads `text` (cut to 255 characters). Returns the error code (0 = success); the
    // positions are 1-based. On success the steps are computed (Reihenfolge).
    int FormelLesen(const std::string& text, const std::string& xVariable,
                    const std::string& zVariable, std::uint32_t farbe, int& fehlerPos,
                    int& endePos);
    int FormelLesen(const std::string& text) {
        int p, e;
        return FormelLesen(text, "", "", 0, p, e);
    }
    void Reihenfolge();
    // Part of Reihenfolge: Rumpf, Schleifenbeginn and Schleifenschritt.
    void SchleifenRuempfe();

private:
    std::unique_ptr<Bezeichnerliste> eigeneListe_;
};

// Number of characters among the first `position` characters that are not "|" or "~".
int SichtbarePosition(const std::string& text, int position);

// Locates sub-formula `nummer` (1-based; 0 only counts). Positions are 1-based.
void TeilformelSuchen(const std::string& text, int& start, int& ende, int nummer, int& anzahl);

// The identifier reader shared by the parser and the compute flow: reads from the 1-based
// position `pos`, keeps at most `maxLaenge` characters, returns the number of characters
// consumed. With `zahlartig` "," and "." are taken too.
int BezeichnerLesen(const std::string& text, int pos, int maxLaenge, std::string& name,
                    bool zahlartig = false);

} // namespace kd
