// Evaluation speed: an integral (10001 body passes), a sum of 1000 terms and the
// parse of a 200-character formula; beside them the same work done by muparser (when
// it was found at configure time) and by a hand-written long double loop.
//
// Every benchmark counts the heap allocations of its timed loop ("allocs/iter").
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/eval/Auswertung.h"
#include "core/notation/Gleichung.h"

#ifdef KD_HAVE_MUPARSER
#include <muParser.h>
#endif

// ---- Allocation counter ------------------------------------------------------------
// operator new and delete are replaced for the whole program (GCC sees the malloc and
// free inside them and takes every new/delete pair for a mismatch).
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long long> allokationen{0};
}

void* operator new(std::size_t n) {
    allokationen.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace kd;

// Reports the allocations per iteration of the loop that ran since `vorher`.
void Allokationen(benchmark::State& st, long long vorher) {
    const long long n = allokationen.load() - vorher;
    st.counters["allocs/iter"] =
        benchmark::Counter(static_cast<double>(n) / static_cast<double>(st.iterations()));
}

// ---- Ours --------------------------------------------------------------------------

void Rechnen(benchmark::State& st, const char* text, Extended erwartet) {
    Bezeichnerliste liste;
    TGleichung::Optionen o;
    o.Bezeichner = &liste;
    TGleichung g(o);
    if (g.FormelLesen(text) != 0) {
        st.SkipWithError("formula does not parse");
        return;
    }
    int fehler = 0, pos = 0;
    Extended v = 0;
    const long long vorher = allokationen.load();
    for (auto _ : st) {
        v = Berechnen(g, true, fehler, pos);
        benchmark::DoNotOptimize(v);
    }
    Allokationen(st, vorher);
    if (fehler != 0 || v != erwartet) st.SkipWithError("wrong result");
}

void BM_Integral(benchmark::State& st) { Rechnen(st, "y=INTEGRAL(x=0;1;x^2*dx)", 0.333L); }
BENCHMARK(BM_Integral)->Unit(benchmark::kMicrosecond);

void BM_Summe1000(benchmark::State& st) {
    Rechnen(st, "y=SUMME(i=1;1000;i^2)", 1000.0L * 1001 * 2001 / 6);
}
BENCHMARK(BM_Summe1000)->Unit(benchmark::kMicrosecond);

// 200 characters, 76 terms (of at most 80).
const char* const Formel200 =
    "y=alpha*SIN(x)+beta*COS(x)^2-WURZEL(ABS(c*x+1))/(1+x^2)+LN(1+x^2)*e-ATN(x/3)+"
    "GAMMA(2.5)*TANH(x)-RUNDEN(alpha*beta)/7+QUADRAT(x-1)*0.5+LOG(10+x)-SINH(x/9)+"
    "EXP2*x/(x+4)-INT(beta/3)+VORZEICHEN(c-x)*2.5+x";

void BM_FormelLesen200(benchmark::State& st) {
    Bezeichnerliste liste;
    for (const char* n : {"alpha", "beta", "c", "x", "EXP2"}) {
        liste.Add(std::make_unique<TBezeichner>(n));
        liste[liste.Count() - 1]->SetWert(1.5L);
    }
    TGleichung::Optionen o;
    o.Bezeichner = &liste;
    TGleichung g(o);
    const std::string text = Formel200;
    int code = 0;
    for (auto _ : st) {
        code = g.FormelLesen(text);
        benchmark::DoNotOptimize(code);
    }
    st.SetLabel(std::to_string(text.size()) + " characters, " + std::to_string(g.TermAnzahl) + " terms");
    if (code != 0) st.SkipWithError(("parse error " + std::to_string(code)).c_str());
}
BENCHMARK(BM_FormelLesen200)->Unit(benchmark::kMicrosecond);

// ---- Reference: the integral's loop written by hand ------------------------------------

void BM_IntegralHandgeschrieben(benchmark::State& st) {
    for (auto _ : st) {
        Extended dx = 1E-4L, x = 0, s = 0;
        benchmark::DoNotOptimize(dx);
        for (int i = 0; i <= 10000; ++i) {
            const Extended f = x * x * dx;
            s += (i == 0 || i == 10000) ? f / 2 : f;
            x += dx;
        }
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_IntegralHandgeschrieben)->Unit(benchmark::kMicrosecond);

// ---- muparser ---------------------------------------------------------------------------

#ifdef KD_HAVE_MUPARSER

void BM_MuparserIntegral(benchmark::State& st) {
    double x = 0, dx = 1E-4;
    mu::Parser p;
    p.DefineVar("x", &x);
    p.DefineVar("dx", &dx);
    p.SetExpr("x^2*dx");
    double s = 0;
    const long long vorher = allokationen.load();
    for (auto _ : st) {
        s = 0;
        x = 0;
        for (int i = 0; i <= 10000; ++i) {
            const double f = p.Eval();
            s += (i == 0 || i == 10000) ? f / 2 : f;
            x += dx;
        }
        benchmark::DoNotOptimize(s);
    }
    Allokationen(st, vorher);
}
BENCHMARK(BM_MuparserIntegral)->Unit(benchmark::kMicrosecond);

// The same formula as Formel200, in muparser's notation.
const char* const Ausdruck200 =
    "alpha*sin(x)+beta*cos(x)^2-sqrt(abs(c*x+1))/(1+x^2)+ln(1+x^2)*_e-atan(x/3)+"
    "1.329340388*tanh(x)-rint(alpha*beta)/7+(x-1)^2*0.5+log10(10+x)-sinh(x/9)+"
    "EXP2*x/(x+4)-abs(beta/3)+sign(c-x)*2.5+x-x/(alpha+9)";

void BM_MuparserSetExpr200(benchmark::State& st) {
    double a = 1.5, b = 1.5, c = 1.5, x = 1.5, e2 = 1.5;
    mu::Parser p;
    p.DefineVar("alpha", &a);
    p.DefineVar("beta", &b);
    p.DefineVar("c", &c);
    p.DefineVar("x", &x);
    p.DefineVar("EXP2", &e2);
    const std::string text = Ausdruck200;
    double v = 0;
    try {
        for (auto _ : st) {
            p.SetExpr(text);
            v = p.Eval();
            benchmark::DoNotOptimize(v);
        }
    } catch (const mu::Parser::exception_type& e) {
        st.SkipWithError(e.GetMsg().c_str());
        return;
    }
    st.SetLabel(std::to_string(text.size()) + " characters");
}
BENCHMARK(BM_MuparserSetExpr200)->Unit(benchmark::kMicrosecond);

#endif

} // namespace

BENCHMARK_MAIN();
