#include "Satz.h"

#include <cstdio>

#include "core/device/Stile.h"
#include "core/notation/Gleichung.h"
#include "core/numeric/Encoding.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"
#include "core/typeset/TextObjekte.h"

namespace kdcli {

namespace {

std::string Rechteck(const kd::TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
           "," + std::to_string(r.Bottom);
}

void Zeile(int tiefe, const std::string& text) {
    const std::string z = std::string(std::size_t(2 * tiefe), ' ') + text + "\n";
    std::fwrite(z.data(), 1, z.size(), stdout);
}

} // namespace

std::unique_ptr<kd::TDLine> FormelSetzen(kd::Device& dc, const std::string& text, bool bedingung,
                                         int& code) {
    kd::Formelsatz::Ergebnis satz =
        kd::Formelsatz(dc, std::make_shared<kd::TFormStyles>(), bedingung).Setzen(text);
    code = satz.Code;
    if (code != 0) {
        const std::string m = "Fehler " + std::to_string(code) + ": " +
                              kd::Cp1252ToUtf8(kd::Fehlertexte[code]) + "\n";
        std::fwrite(m.data(), 1, m.size(), stdout);
        return nullptr;
    }
    return std::move(satz.Baum);
}

// A node, its first and second child, then its brackets.
void BaumZeigen(const kd::TDLine& e, int tiefe) {
    const std::string kopf = std::string(e.ClassName()) + " Tag=" + std::to_string(e.Tag) + " ";
    if (const auto* k = dynamic_cast<const kd::TFormElem*>(&e)) {
        Zeile(tiefe, kopf + "Art=" + std::to_string(k->Art) + " Rect=" + Rechteck(e.Rect) +
                         " Achse=" + std::to_string(k->Achse) + " OpText=\"" +
                         kd::Cp1252ToUtf8(k->OpText) + "\"");
        const kd::TDLine* kinder[] = {k->Erstes.get(), k->Zweites.get(),
                                      k->HatKlammern ? k->KlammerLinks.get() : nullptr,
                                      k->HatKlammern ? k->KlammerRechts.get() : nullptr,
                                      k->HatSymbolKlammern ? k->SymbolKlammerLinks.get() : nullptr,
                                      k->HatSymbolKlammern ? k->SymbolKlammerRechts.get() : nullptr};
        for (const kd::TDLine* c : kinder)
            if (c) BaumZeigen(*c, tiefe + 1);
        return;
    }
    if (const auto* t = dynamic_cast<const kd::TDText*>(&e)) {
        Zeile(tiefe, kopf + "Rect=" + Rechteck(e.Rect) + " Text=\"" + kd::Cp1252ToUtf8(t->Text) +
                         "\"");
        return;
    }
    Zeile(tiefe, kopf + "Rect=" + Rechteck(e.Rect));
}

} // namespace kdcli
