// Any text of up to 255 bytes through the parser in all three modes, and the evaluation
// of whatever parses.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/eval/Auswertung.h"
#include "core/notation/Gleichung.h"
#include "core/typeset/FormelAufbau.h"

namespace {

class Blattfabrik : public kd::ElementFabrik {
    struct Blatt : kd::TDLine {
        explicit Blatt(std::string t) : text(std::move(t)) {}
        std::string text;
    };

public:
    kd::Termelement TextLeaf(std::uint32_t, const std::string& t) override {
        return kd::AlsTermelement(std::make_unique<Blatt>(t));
    }
    kd::Termelement FormelTextLeaf(std::uint32_t, const std::string& t, std::uint32_t) override {
        return kd::AlsTermelement(std::make_unique<Blatt>(t));
    }
    std::string LeafText(const kd::TDLine& l) const override {
        return static_cast<const Blatt&>(l).text;
    }
    kd::Termelement SummenZeichen(std::int32_t, std::uint32_t, const std::string& o,
                                  const std::string& u) override {
        return kd::AlsTermelement(std::make_unique<Blatt>(o + u));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 300) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Blattfabrik fabrik;
    for (int modus = 0; modus < 4; ++modus) {
        kd::Bezeichnerliste liste;
        for (const char* n : {"a", "b", "x", "n"}) {
            liste.Add(std::make_unique<kd::TBezeichner>(n));
            liste[liste.Count() - 1]->SetWert(2);
        }
        kd::Bezeichnerliste gesammelt;
        kd::TGleichung::Optionen o;
        o.Sammelmodus = modus != 1;
        o.Bedingungsmodus = modus == 2;
        if (modus == 1) o.Bezeichner = &liste;
        if (modus == 0) o.Sammelliste = &gesammelt;
        if (modus == 3) {
            o.ElementeErzeugen = true;
            o.Fabrik = &fabrik;
        }
        kd::TGleichung g(o);
        int pos = 0, ende = 0;
        const int code = g.FormelLesen(text, modus == 3 ? "x" : "", "", 0, pos, ende);
        // Loops may legitimately run for billions of passes (two nested sums up to 65534);
        // such texts are parsed but not computed here.
        long double aufwand = 1;
        for (int i = 1; i <= g.TermAnzahl; ++i) {
            const kd::Term& t = g.Terme[std::size_t(i)];
            if (t.Art == kd::ArtIntegral) aufwand *= 10001;
            else if (t.Art == kd::ArtSumme || t.Art == kd::ArtProdukt)
                aufwand *= (t.EndeBenannt || t.StartBenannt)
                               ? 1000
                               : (t.Wert > t.StartWert ? t.Wert - t.StartWert : t.StartWert - t.Wert) + 2;
        }
        if (code == 0 && modus == 1 && aufwand <= 2e6L) {
            int fehler = 0, p = 0;
            (void)Berechnen(g, true, fehler, p);
            (void)Berechnen(g, false, fehler, p);
        }
    }
    return 0;
}
