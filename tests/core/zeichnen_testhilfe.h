#pragma once
// Helpers of the drawing tests: a device with other widths (a printer), a paint box
// whose canvas is a given device, and a guard that leaves the drawing state as found.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/device/FixedMetricsDevice.h"
#include "core/device/VirtPntBox.h"

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

// One text output: the text, where, the font's face (empty: any) and height.
struct Ausgabe {
    std::string text;
    TPoint p;
    std::string face;
    std::int32_t hoehe;
};

// The first outputs of d are the expected ones (and no more when `alle`).
inline void ErwarteTexte(const FixedMetricsDevice& d, const std::vector<Ausgabe>& erwartet,
                         const std::string& wo, bool alle = true) {
    const auto ist = Ausgaben(d);
    if (alle) {
        ASSERT_EQ(ist.size(), erwartet.size()) << wo;
    } else {
        ASSERT_GE(ist.size(), erwartet.size()) << wo;
    }
    for (std::size_t i = 0; i < erwartet.size(); ++i) {
        EXPECT_EQ(ist[i].text, erwartet[i].text) << wo << " #" << i;
        EXPECT_EQ(ist[i].points.at(0), erwartet[i].p) << wo << " #" << i;
        if (!erwartet[i].face.empty()) {
            EXPECT_EQ(ist[i].font.Face(), erwartet[i].face) << wo;
        }
        EXPECT_EQ(ist[i].font.Height, erwartet[i].hoehe) << wo << " #" << i;
    }
}

} // namespace kd::testhilfe
