// Any text of up to 255 bytes laid out as the page lays it out (collect mode, and
// condition mode), on the fixed-metrics device: the tree is drawn, moved, stored and
// read back into itself, reduced to index size and stretched.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/device/FixedMetricsDevice.h"
#include "core/device/Stile.h"
#include "core/notation/Gleichung.h"
#include "core/Stream.h"
#include "core/typeset/FormElem.h"
#include "core/typeset/Formelsatz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 300) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    kd::FixedMetricsDevice dc;
    dc.RecordMeasurements = false;
    for (const bool bedingung : {false, true}) {
        auto stile = std::make_shared<kd::TFormStyles>();
        kd::Formelsatz::Ergebnis satz = kd::Formelsatz(dc, stile, bedingung).Setzen(text);
        if (satz.Code != 0) continue;
        auto baum = std::move(satz.Baum);
        if (!baum) __builtin_trap();
        baum->MovePos(75, 2900);
        baum->Draw(dc);
        kd::MemorySink sink;
        {
            kd::BufferedWriter w(sink);
            baum->Store(w);
        }
        kd::MemorySource src(sink.Bytes().data(), sink.Bytes().size());
        kd::BufferedReader r(src);
        if (!baum->Load(r) || r.Remaining() != 0) __builtin_trap();
        baum->Draw(dc);
        if (auto* k = dynamic_cast<kd::TFormElem*>(baum.get())) {
            k->Verkleinern();
            k->Draw(dc);
            k->Stretch(0, kd::TRect{0, 100, 500, 0});
        }
        dc.ClearCalls();
    }
    return 0;
}
