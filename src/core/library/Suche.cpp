#include "core/library/Suche.h"

namespace kd {

Suchbegriffe& GemerkteSuchbegriffe() {
    static Suchbegriffe b;
    return b;
}

bool BegriffLeer(const std::string& begriff) {
    return begriff.find_first_not_of(' ') == std::string::npos;
}

bool FormelPasst(const std::string& formelText, const Suchbegriffe& b) {
    if (!BegriffLeer(b.Titel) && formelText.find(b.Titel) == std::string::npos) return false;
    if (!BegriffLeer(b.Formel) && formelText.find(b.Formel) == std::string::npos) return false;
    return true;
}

Suchtreffer SucheFormel(const std::vector<std::string>& bibliotheken,
                        const std::function<std::filesystem::path(const std::string&)>& pfad,
                        const Suchbegriffe& b) {
    Suchtreffer t;
    if (BegriffLeer(b.Titel) && BegriffLeer(b.Formel)) return t;
    for (std::size_t k = 0; k < bibliotheken.size(); ++k) {
        FormelListeTyp liste;
        LiesBibliothek(pfad(bibliotheken[k]).string(), liste);
        for (int j = 0; j < liste.Count(); ++j) {
            if (FormelPasst(liste[j]->FormelText, b)) {
                t.Gefunden = true;
                t.Bibliothek = int(k);
                t.Formel = j;
                return t;
            }
        }
    }
    return t;
}

} // namespace kd
