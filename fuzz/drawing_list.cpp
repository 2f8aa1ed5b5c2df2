// libFuzzer target: a list of drawing objects read from arbitrary bytes.
// What it reads must write back, read again and write the same bytes; every object
// must survive geometry, drawing and marks on the recording device.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/Stream.h"
#include "core/device/FixedMetricsDevice.h"
#include "core/typeset/Formen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kd::TCList<kd::TDLine> list;
    {
        kd::MemorySource src(data, size);
        kd::BufferedReader r(src);
        if (!kd::LoadList(r, list)) return 0;
    }
    kd::MemorySink first;
    {
        kd::BufferedWriter w(first);
        kd::StoreList(w, list);
    }
    kd::TCList<kd::TDLine> again;
    {
        kd::MemorySource src(first.Bytes().data(), first.Bytes().size());
        kd::BufferedReader r(src);
        if (!kd::LoadList(r, again)) std::abort();
    }
    kd::MemorySink second;
    {
        kd::BufferedWriter w(second);
        kd::StoreList(w, again);
    }
    if (first.Bytes() != second.Bytes()) std::abort();

    // Geometry on page-sized coordinates (far beyond them the 32-bit arithmetic of
    // the shapes is not meant to hold).
    auto seitenmass = [](const kd::TDLine& s) {
        auto ok = [](std::int32_t v) { return v > -10000000 && v < 10000000; };
        if (!ok(s.Rect.Left) || !ok(s.Rect.Top) || !ok(s.Rect.Right) || !ok(s.Rect.Bottom))
            return false;
        if (auto* p = dynamic_cast<const kd::TPolyLine*>(&s))
            for (const kd::TPoint& q : p->Points)
                if (!ok(q.x) || !ok(q.y)) return false;
        if (auto* e = dynamic_cast<const kd::TnEck*>(&s))
            if (!ok(e->OriginX) || !ok(e->OriginY) || !(e->Scale > -1000 && e->Scale < 1000))
                return false;
        return true;
    };
    kd::FixedMetricsDevice dc;
    for (int i = 0; i < again.Count(); ++i) {
        kd::TDLine& s = *again[i];
        if (!seitenmass(s)) continue;
        s.Draw(dc);
        s.DrawModifyRect(dc);
        (void)s.GetModifyClip(s.Rect.Left, s.Rect.Top);
        s.MovePosRel(7, -3);
        s.Stretch(1, {0, 100, 100, 0});
        s.Zoom(1.5L);
        if (auto c = s.Copy()) c->Draw(dc);
        if (auto* p = dynamic_cast<kd::TPolyLine*>(&s)) {
            p->InsertPoint(0);
            p->DeleteDoublePoint();
            p->DeletePoint(1);
        }
    }
    return 0;
}
