#pragma once
// Helpers of the library tests: a temporary folder and library files built byte by byte.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kdtest {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// A fresh folder below the system's temporary folder, removed with its content.
class TempOrdner {
public:
    TempOrdner() {
        std::random_device rd;
        for (;;) {
            pfad_ = fs::temp_directory_path() /
                    ("kdformel-test-" + std::to_string(rd()) + std::to_string(rd()));
            if (fs::create_directory(pfad_)) break;
        }
    }
    ~TempOrdner() {
        std::error_code ec;
        fs::remove_all(pfad_, ec);
    }
    TempOrdner(const TempOrdner&) = delete;
    TempOrdner& operator=(const TempOrdner&) = delete;
    const fs::path& Pfad() const { return pfad_; }
    fs::path operator/(const std::string& name) const { return pfad_ / name; }

private:
    fs::path pfad_;
};

inline void I32(Bytes& b, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(u >> (8 * i)));
}

inline void Text(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

// The 41-byte Hinweis field: length byte, the text, then `rest` up to 40 bytes.
inline Bytes HinweisFeld(const std::string& text, std::uint8_t fuell = 0) {
    Bytes h;
    h.push_back(std::uint8_t(text.size()));
    Text(h, text);
    while (h.size() < 41) h.push_back(fuell);
    return h;
}

struct SatzBytes {
    std::int32_t kennzahl = 600;
    Bytes hinweis = HinweisFeld("KALDORA Formelsammlung");
    std::int32_t bildTyp = 0;
    Bytes bild;
    std::string text;
    int art = 6;  // 6 or 12 (or anything else, for bad files)
};

inline Bytes Satz(const SatzBytes& s) {
    Bytes b;
    I32(b, s.kennzahl);
    b.insert(b.end(), s.hinweis.begin(), s.hinweis.end());
    I32(b, s.bildTyp);
    if (s.bildTyp > 0) {
        I32(b, std::int32_t(s.bild.size()));
        b.insert(b.end(), s.bild.begin(), s.bild.end());
    }
    b.push_back(std::uint8_t(s.art));
    if (s.art == 12) I32(b, std::int32_t(s.text.size()));
    else b.push_back(std::uint8_t(s.text.size()));
    Text(b, s.text);
    return b;
}

inline Bytes Datei(const std::vector<Bytes>& saetze, std::int32_t n = -1) {
    Bytes b;
    I32(b, n < 0 ? std::int32_t(saetze.size()) : n);
    for (const auto& s : saetze) b.insert(b.end(), s.begin(), s.end());
    return b;
}

inline Bytes LiesDatei(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void SchreibeDatei(const fs::path& p, const Bytes& b) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

inline Bytes Als(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Names in a folder (for checking that no temporary file is left behind).
inline std::vector<std::string> Inhalt(const fs::path& ordner) {
    std::vector<std::string> n;
    for (const auto& e : fs::directory_iterator(ordner)) n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
}

} // namespace kdtest
