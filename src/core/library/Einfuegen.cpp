#include "core/library/Einfuegen.h"

#include <memory>

#include "core/notation/Gleichung.h"
#include "core/Types.h"

namespace kd {

std::string OhneSteuerzeichen(const std::string& text) {
    std::string r;
    r.reserve(text.size());
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 32) r.push_back(c);
    return r;
}

std::string MitLinkerSeite(const std::string& text) {
    if (text.find('=') == std::string::npos) return "Y=" + text;
    if (text.front() == '=') return "Y" + text;
    return text;
}

std::string EinfuegeText(const std::string& text) {
    return Kurz(MitLinkerSeite(OhneSteuerzeichen(text)));
}

bool EinfuegenMoeglich(const std::string& text) {
    TGleichung::Optionen o;
    o.Sammelmodus = true;
    TGleichung g(o);
    int fehlerPos = 0, endePos = 0;
    return g.FormelLesen(text, "", "", 0, fehlerPos, endePos) == 0;
}

int FormelEinfuegen(Formelsammlung& s, const std::string& text) {
    auto f = std::make_unique<TFormelBiblio>();
    f->FormelText = Kurz(text);
    const int n = s.FormelListe.Count();
    const int nach = s.AktFormel >= 0 && s.AktFormel < n ? s.AktFormel + 1 : n;
    s.FormelListe.Insert(nach, std::move(f));
    s.AktFormel = nach;
    s.Geaendert = true;
    if (s.LayoutUngueltig) s.LayoutUngueltig();
    return nach;
}

} // namespace kd
