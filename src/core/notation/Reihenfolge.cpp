// Reihenfolge: the order of the binary steps from the priorities the parse gave the terms,
// and the body of every loop within that order.
#include <algorithm>
#include <cstdint>

#include "core/notation/Gleichung.h"

namespace kd {

void TGleichung::Reihenfolge() {
    const int n = TermAnzahl;
    if (n <= 1) return;
    // Each step takes the term of greatest priority (the leftmost of equal ones) and
    // merges it with its right neighbour: the left term takes over the neighbour's
    // operator, priority and successor. So an operator with its priority only ever moves
    // left to the neighbouring live term, never past another operator: the operators are
    // taken in the order of their priorities (ties left to right) as the parse read them,
    // and only who holds each of them changes. The terms keep what the parse read, and a
    // term consumed as a right operand never becomes a left one again.
    int reihe[MaxTerme + 1];
    int m = 0;
    for (int i = 1; i <= n; ++i)
        if (Terme[std::size_t(i)].Folge <= n) reihe[m++] = i;
    std::sort(reihe, reihe + m, [this](int a, int b) {
        const std::int32_t pa = Terme[std::size_t(a)].Prio, pb = Terme[std::size_t(b)].Prio;
        return pa > pb || (pa == pb && a < b);
    });
    int halter[MaxTerme + 2];  // operator (by the term that read it) -> term holding it now
    int haelt[MaxTerme + 2];   // term -> operator it holds
    int folge[MaxTerme + 2];
    for (int i = 1; i <= n; ++i) {
        halter[i] = haelt[i] = i;
        folge[i] = Terme[std::size_t(i)].Folge;
    }
    for (int k = 1; k <= m; ++k) {
        const int op = reihe[k - 1];
        const int i = halter[op];
        const int j = folge[i];
        if (j < 1 || j > n) break;
        Schritte[std::size_t(k)] = Schritt{i, j, Terme[std::size_t(op)].Art, Terme[std::size_t(i)].TextPos};
        folge[i] = folge[j];
        haelt[i] = haelt[j];
        halter[haelt[j]] = i;
    }
    SchleifenRuempfe();
}

void TGleichung::SchleifenRuempfe() {
    // A loop's body is every step whose left term lies among the body's terms (after the
    // sum term up to its last body term): such a step joins terms of the body only, and
    // all of them come before the loop step, as the body binds tighter than the loop.
    // The body is run again from its first step, so its steps must be one run right
    // before the loop step. A step of the text around the loop can fall among them when
    // it lies ten brackets deeper than the loop; it touches no term of the body, so it
    // moves before the body's first step (inner loops first, each body staying whole).
    Rumpf.fill(0);
    Schleifenbeginn.fill(0);
    Schleifenschritt.fill(0);
    const int schritte = TermAnzahl - 1;
    // First the moves (an outer loop's move keeps an inner body whole but shifts it),
    // then the body starts of the final order.
    for (int durchgang = 0; durchgang < 2; ++durchgang) {
        for (int k = 1; k <= schritte && k < MaxTerme; ++k) {
            const Schritt& st = Schritte[std::size_t(k)];
            if (st.Art != ArtSumme && st.Art != ArtIntegral && st.Art != ArtProdukt) continue;
            if (st.Links < 1 || st.Links > MaxTerme) continue;
            const Term& l = Terme[std::size_t(st.Links)];
            const int stufe = l.SummenNr < 0 ? -l.SummenNr : l.SummenNr;
            if (stufe < 1 || stufe > 6) continue;
            const std::int32_t von = st.Links + 1, bis = l.SummenEnde;
            auto imRumpf = [&](const Schritt& x) { return x.Links >= von && x.Links <= bis; };
            int r = k;
            for (int j = 1; j < k; ++j)
                if (imRumpf(Schritte[std::size_t(j)])) {
                    r = j;
                    break;
                }
            if (durchgang == 0) {
                std::stable_partition(Schritte.begin() + r, Schritte.begin() + k,
                                      [&](const Schritt& x) { return !imRumpf(x); });
                continue;
            }
            Rumpf[std::size_t(k)] = r;
            Schleifenschritt[std::size_t(stufe)] = k;
            Schleifenbeginn[std::size_t(r)] |= std::uint8_t(1u << stufe);
        }
    }
}

} // namespace kd
