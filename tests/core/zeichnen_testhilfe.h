#pragma once
// Helpers of the drawing tests: a device with other widths (a printer), a paint box
// whose canvas is a given device, and a guard that leaves the drawing state as found.
#include <ostream>
#include <string>
#include <vector>

#include "core/page/FixedMetricsDevice.h"
#include "core/page/VirtPntBox.h"

namespace kd {
// Readable failure messages.
inline void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
} // namespace kd

namespace kd::testhilfe {

// Fixed metrics with every width multiplied by Zaehler / Nenner.
class BreiterDevice : public FixedMetricsDevice {
public:
    BreiterDevice(int zaehler, int nenner) : z_(zaehler), n_(nenner) {}
    TSize TextExtent(std::string_view text) override {
        TSize s = FixedMetricsDevice::TextExtent(text);
        s.cx = s.cx * z_ / n_;
        return s;
    }

private:
    int z_, n_;
};

class Leinwandbox : public TVirtPntBox {
public:
    explicit Leinwandbox(Device& d) : d_(d) {}
    Device* Canvas() override { return &d_; }
    void SetScale() override { ++skaliert; }
    int skaliert = 0;

private:
    Device& d_;
};

// Restores the process-wide drawing state at the end of a test.
class Zustandswache {
public:
    Zustandswache() : alt_(DrawingState()) {}
    ~Zustandswache() { DrawingState() = alt_; }

private:
    TDrawingState alt_;
};

inline std::vector<FixedMetricsDevice::Call> Ausgaben(const FixedMetricsDevice& d) {
    return d.CallsOf(FixedMetricsDevice::Kind::TextOut);
}

} // namespace kd::testhilfe
