#include "core/library/SucheWeiter.h"

#include <algorithm>

namespace kd {

Suchtreffer SucheNaechste(const std::vector<std::string>& bibliotheken,
                          const std::function<std::filesystem::path(const std::string&)>& pfad,
                          const Suchbegriffe& b, int bibliothek, int formel) {
    Suchtreffer t;
    const int n = int(bibliotheken.size());
    if ((BegriffLeer(b.Titel) && BegriffLeer(b.Formel)) || bibliothek < 0 || bibliothek >= n) return t;
    // n + 1 passes: the start library twice, first behind the start, at last up to it.
    for (int schritt = 0; schritt <= n; ++schritt) {
        const int k = (bibliothek + schritt) % n;
        FormelListeTyp liste;
        LiesBibliothek(pfad(bibliotheken[std::size_t(k)]).string(), liste);
        int von = 0, bis = liste.Count() - 1;
        if (schritt == 0) von = formel + 1;
        if (schritt == n) bis = std::min(formel, bis);
        for (int j = std::max(von, 0); j <= bis; ++j) {
            if (FormelPasst(liste[j]->FormelText, b)) {
                t.Gefunden = true;
                t.Bibliothek = k;
                t.Formel = j;
                return t;
            }
        }
    }
    return t;
}

} // namespace kd
