// libFuzzer target: the library file reader over arbitrary bytes.
// Whatever it reads must write back and read again to the same records, and the
// second write must give the same bytes as the first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/Errors.h"
#include "core/Stream.h"
#include "core/library/Bibliothek.h"

namespace {

bool Gleich(const kd::FormelListeTyp& a, const kd::FormelListeTyp& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i) {
        const auto& x = *a[i];
        const auto& y = *b[i];
        if (x.Kennzahl != y.Kennzahl || x.Hinweis != y.Hinweis || x.BildTyp != y.BildTyp ||
            x.Bild != y.Bild || x.FormelText != y.FormelText)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kd::FormelListeTyp liste;
    {
        kd::MemorySource src(data, size);
        kd::BufferedReader r(src);
        try {
            kd::LiesBibliothek(r, "fuzz", liste);
        } catch (const kd::FileError&) {
            // expected for damaged input; the records before the damage stay in `liste`
        }
    }
    for (const auto& satz : liste) {
        if (satz->FormelText.size() > 255) std::abort();
        if (satz->BildTyp <= 0 && !satz->Bild.empty()) std::abort();
        if (satz->Bild.size() > size) std::abort();
    }

    // Round trip of what was read (also of the records kept before an error).
    kd::MemorySink erste;
    {
        kd::BufferedWriter w(erste);
        kd::SchreibeBibliothek(w, liste);
    }
    kd::FormelListeTyp wieder;
    {
        kd::MemorySource src(erste.Bytes().data(), erste.Bytes().size());
        kd::BufferedReader r(src);
        try {
            kd::LiesBibliothek(r, "fuzz", wieder);
        } catch (const kd::FileError&) {
            std::abort();  // our own output must always be readable
        }
    }
    if (!Gleich(liste, wieder)) std::abort();
    kd::MemorySink zweite;
    {
        kd::BufferedWriter w(zweite);
        kd::SchreibeBibliothek(w, wieder);
    }
    if (zweite.Bytes() != erste.Bytes()) std::abort();
    return 0;
}
