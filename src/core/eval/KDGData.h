#pragma once
// The option record shared by the main window and the formula entry dialog: the
// formula lines handed between them, the display mode, the curve parameters with
// the value table of the last tabulation, and the page style whose margins serve
// printing. The main window creates one record at start and keeps it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Types.h"
#include "core/matrix/MatrixObj.h"

namespace kd {

// A text field of at most N characters, cut on assignment (the record keeps such
// names zero-terminated, so a text also ends at its first NUL).
template <std::size_t N>
class KurzText {
public:
    KurzText() = default;
    KurzText(std::string_view s) { *this = s; }
    KurzText& operator=(std::string_view s) {
        s = s.substr(0, s.find('\0'));
        text_ = std::string(s.substr(0, N));
        return *this;
    }
    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }
    friend bool operator==(const KurzText& a, std::string_view b) { return a.text_ == b; }

private:
    std::string text_;
};

// Width of an A4 page in tenths of a millimetre.
inline constexpr std::int32_t A4Breite = 2100;

// Page and diagram style; the record uses its page margins (tenths of a millimetre).
struct TKDGStyles {
    std::int32_t RandLinks = 100;
    std::int32_t RandOben = 200;
    std::int32_t RandRechts = 100;

    // Width between the margins of an A4 page: the length of the separator line
    // between printed formulas.
    std::int32_t DruckBreite() const { return A4Breite - RandRechts - RandLinks; }
};

// The base of the record: its owned style objects.
class TOptionData {
public:
    TOptionData() = default;
    virtual ~TOptionData() = default;
    TOptionData(const TOptionData&) = delete;
    TOptionData& operator=(const TOptionData&) = delete;

    TKDGStyles Seitenstil;
    // FormelStyles: the formula font set (TFormStyles, default form) belongs here;
    // it is added together with the drawing styles.
};

class TKDGData : public TOptionData {
public:
    static constexpr std::size_t VariablenMax = 7;  // characters of a plot variable name

    // Builds the record with all defaults and sets the program-wide constants table
    // to the 15 base constants.
    TKDGData();

    std::vector<std::string> FormelZeilen{"y=x"};  // formula lines for the entry dialog
    std::unique_ptr<TMatrixObj> Werte;            // value table of the last tabulation, or none

    bool NurFormeln = false;         // formulas alone, without curves (the main window sets it)
    bool FormelnMitKurven = true;    // with curves shown, show the formulas as well
    bool Dreidimensional = false;    // curves over two variables

    Extended XStart = 0;
    Extended XEnde = 0;
    std::int32_t XPunkte = 100;      // sample points of the first variable
    Extended ZStart = 0;
    Extended ZEnde = 0;
    std::int32_t ZPunkte = 1;        // sample points of the second variable
    Extended YMin = 0;
    Extended YMax = 0;
    bool YMinAuto = true;            // take YMin / YMax from the value table
    bool YMaxAuto = true;
    bool XLog = false;               // logarithmic first variable
    bool YLog = false;               // logarithmic value axis

    KurzText<VariablenMax> XVariable{"x"};
    KurzText<VariablenMax> ZVariable{"z"};

    // Chart titles and unit labels (Windows-1252); kept at their defaults here.
    std::string Ueberschrift = "\xDC" "berschrift";
    std::string Untertitel = "Untertitel";
    std::string XTitel = "X-Achse";
    std::string YTitel = "Y-Achse";
    std::string ZTitel = "Z-Achse";
    std::string XEinheit = "XEinheit";
    std::string YEinheit = "YEinheit";
    std::string ZEinheit = "ZEinheit";
};

} // namespace kd
