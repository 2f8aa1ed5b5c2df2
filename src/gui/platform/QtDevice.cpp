#include "gui/platform/QtDevice.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/numeric/SymbolFont.h"
#include "core/device/Bild.h"
#include "gui/platform/Texte.h"

namespace kd {

namespace {

// The cell height a LogFont of height 0 gets.
constexpr int DefaultCellHeight = 40;

// Cell height (ascent + descent) per pixel of size, for one family and style.
double CellRatio(const QFont& like) {
    struct Key {
        QString family;
        int weight;
        bool italic;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return qHash(k.family) ^ (std::size_t(k.weight) << 1) ^ std::size_t(k.italic);
        }
    };
    static std::unordered_map<Key, double, KeyHash> cache;
    const Key key{like.family(), int(like.weight()), like.italic()};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    QFont ref(like);
    ref.setPixelSize(1000);
    const QFontMetricsF m(ref);
    double r = (m.ascent() + m.descent()) / 1000.0;
    if (!(r > 0)) r = 1.0;
    cache.emplace(key, r);
    return r;
}

Qt::PenStyle ToQtPenStyle(std::uint32_t s) {
    switch (s) {
    case PS_DASH: return Qt::DashLine;
    case PS_DOT: return Qt::DotLine;
    case PS_DASHDOT: return Qt::DashDotLine;
    case PS_DASHDOTDOT: return Qt::DashDotDotLine;
    case PS_NULL: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

QBrush ToQBrush(const LogBrush& b) {
    switch (b.Style) {
    case BS_SOLID: return QBrush(QtDevice::ToQColor(b.Color));
    case BS_HATCHED: {
        // The hatch styles: horizontal, vertical, forward and backward diagonal, cross,
        // diagonal cross.
        static const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,
                                               Qt::FDiagPattern, Qt::BDiagPattern,
                                               Qt::CrossPattern, Qt::DiagCrossPattern};
        const int i = b.Hatch >= 0 && b.Hatch < 6 ? b.Hatch : 0;
        return QBrush(QtDevice::ToQColor(b.Color), hatch[i]);
    }
    default: return QBrush(Qt::NoBrush);
    }
}

std::vector<QPointF> ToPoints(const TPoint* pts, int count) {
    std::vector<QPointF> v;
    if (!pts || count <= 0) return v;
    v.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) v.emplace_back(pts[i].x, pts[i].y);
    return v;
}

QRectF ToQRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    return QRectF(QPointF(l, t), QPointF(r, b)).normalized();
}

} // namespace

QtDevice::~QtDevice() { End(); }

QColor QtDevice::ToQColor(TColor c) {
    return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)));
}

TColor QtDevice::FromQColor(const QColor& c) {
    return RGB(unsigned(c.red()), unsigned(c.green()), unsigned(c.blue()));
}

QString QtDevice::FamilyFor(const std::string& face, bool* symbol) {
    std::string lower = face;
    for (char& ch : lower) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    if (symbol) *symbol = lower == "symbol";
    if (lower == "symbol") return QStringLiteral("DejaVu Sans");
    if (face.empty()) return QStringLiteral("Arial");
    return AusCp1252(face);
}

namespace {

// A LogFont as a hash key: its 60 bytes.
struct FontKey {
    std::array<char, sizeof(LogFont)> bytes;
    explicit FontKey(const LogFont& lf) { std::memcpy(bytes.data(), &lf, sizeof lf); }
    bool operator==(const FontKey&) const = default;
};
struct FontKeyHash {
    std::size_t operator()(const FontKey& k) const {
        return std::hash<std::string_view>{}(std::string_view(k.bytes.data(), k.bytes.size()));
    }
};

std::unique_ptr<QtDevice::FontInfo> MakeFont(const LogFont& lf) {
    auto info = std::make_unique<QtDevice::FontInfo>();
    info->logFont = lf;
    QFont f(QtDevice::FamilyFor(lf.Face(), &info->symbol));
    f.setWeight(QFont::Weight(lf.Weight <= 0 ? 400 : std::min(lf.Weight, 1000)));
    f.setItalic(lf.Italic != 0);
    f.setUnderline(lf.Underline != 0);
    f.setStrikeOut(lf.StrikeOut != 0);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    // Characters side by side at their own advances, as GDI sets a text.
    f.setKerning(false);
    double em;  // the character height in logical units
    if (lf.Height < 0) em = -double(lf.Height);
    else em = (lf.Height == 0 ? DefaultCellHeight : lf.Height) / CellRatio(f);
    f.setPixelSize(std::max(1, int(std::lround(em * QtDevice::FontScale))));
    info->natuerlich = f;
    if (lf.Width > 0) {
        // As in GDI, the width is the average character width the font is narrowed or
        // widened to.
        const double natuerlich = QFontMetricsF(f).averageCharWidth();
        if (natuerlich > 0)
            f.setStretch(std::clamp(int(std::lround(100.0 * lf.Width * QtDevice::FontScale /
                                                    natuerlich)),
                                    1, 4000));
        info->streckung = f.stretch() / 100.0;
    }
    info->font = f;
    info->metrics = QFontMetricsF(f);
    info->ascent = info->metrics.ascent();
    info->descent = info->metrics.descent();
    info->raw = QRawFont::fromFont(f);
    return info;
}

using FontCache = std::unordered_map<FontKey, std::unique_ptr<QtDevice::FontInfo>, FontKeyHash>;

FontCache& Fonts() {
    static FontCache cache;
    return cache;
}

} // namespace

void QtDevice::ForgetGlyphRuns() {
    for (auto& [key, info] : Fonts()) info->laeufe_.clear();
}

const QtDevice::FontInfo& QtDevice::Font(const LogFont& lf) {
    FontCache& cache = Fonts();
    static const FontInfo* last = nullptr;
    if (last && last->logFont == lf) return *last;
    FontKey key(lf);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.emplace(key, MakeFont(lf)).first;
    last = it->second.get();
    return *last;
}

const QtDevice::FontInfo::Zeichen& QtDevice::FontInfo::ZeichenVon(unsigned char byte) const {
    Zeichen& z = zeichen_[byte];
    if (z.art != Zeichen::Unbekannt) return z;
    if (symbol) {
        const char32_t u = SymbolZuUnicode(byte);
        if (u != 0) z.text = QString::fromUcs4(&u, 1);  // else no glyph in the Symbol font
    } else {
        const char c = static_cast<char>(byte);
        z.text = AusCp1252(std::string_view(&c, 1));
    }
    if (z.text.isEmpty()) {
        z.art = Zeichen::Keins;
        return z;
    }
    z.advance = metrics.horizontalAdvance(z.text);
    const QList<quint32> g = raw.isValid() ? raw.glyphIndexesForString(z.text) : QList<quint32>();
    if (g.size() == 1 && g[0] != 0) {
        z.glyph = g[0];
        z.art = Zeichen::Glyphe;
    } else {
        z.art = Zeichen::Ersatz;
    }
    return z;
}

double QtDevice::FontInfo::Advance(std::string_view text) const {
    double w = 0;
    for (const char c : text) w += ZeichenVon(static_cast<unsigned char>(c)).advance;
    return w;
}

const QtDevice::FontInfo::Lauf& QtDevice::FontInfo::LaufFuer(std::string_view text) const {
    std::string key(text);
    if (auto it = laeufe_.find(key); it != laeufe_.end()) return it->second;
    if (laeufe_.size() >= 8192) laeufe_.clear();  // bounded for texts that keep changing
    Lauf l;
    QList<quint32> glyphen;
    QList<QPointF> orte;
    double x = 0;
    for (const char c : text) {
        const Zeichen& z = ZeichenVon(static_cast<unsigned char>(c));
        if (z.art == Zeichen::Keins) continue;
        l.text += z.text;
        if (z.art == Zeichen::Glyphe) {
            glyphen.push_back(z.glyph);
            orte.push_back(QPointF(x, 0));
        } else {
            l.glyphen = false;
        }
        x += z.advance;
    }
    l.advance = x;
    if (l.glyphen && !glyphen.isEmpty()) {
        l.run.setRawFont(raw);
        l.run.setGlyphIndexes(glyphen);
        l.run.setPositions(orte);
        l.run.setUnderline(font.underline());
        l.run.setStrikeOut(font.strikeOut());
    }
    return laeufe_.emplace(std::move(key), std::move(l)).first->second;
}

QString QtDevice::TextFor(const FontInfo& f, std::string_view text) {
    if (!f.symbol) return AusCp1252(text);
    QString s;
    s.reserve(int(text.size()));
    for (char ch : text) {
        const char32_t u = SymbolZuUnicode(static_cast<unsigned char>(ch));
        if (u == 0) continue;  // no glyph in the Symbol font
        s.append(QString::fromUcs4(&u, 1));
    }
    return s;
}

double QtDevice::AdvanceF(const LogFont& lf, std::string_view text) {
    return Font(lf).Advance(text) / FontScale;
}

void QtDevice::FontSelected() {
    if (current_ && current_->logFont == CurrentFont()) return;
    current_ = nullptr;  // looked up when next used
}

const QtDevice::FontInfo& QtDevice::Current() {
    if (!current_) current_ = &Font(CurrentFont());
    return *current_;
}

TSize QtDevice::TextExtent(std::string_view text) {
    const FontInfo& f = Current();
    const double w = f.Advance(text) / FontScale;
    const double h = (f.ascent + f.descent) / FontScale;
    return {RoundI(w), RoundI(h)};
}

void QtDevice::UpdateLogical() {
    const DeviceMapping& m = Mapping();
    const double sx = ScaleX(), sy = ScaleY();
    const QTransform map(sx, 0, 0, sy, m.ViewportOrg.x - m.WindowOrg.x * sx,
                         m.ViewportOrg.y - m.WindowOrg.y * sy);
    logical_ = map * base_;
}

void QtDevice::ApplyTransform() {
    if (!painter_) return;
    painter_->setWorldTransform(logical_);
    modus_ = Modus::Logisch;
}

void QtDevice::Begin(QPainter* painter, QPointF offset) {
    End();
    if (!painter || !painter->isActive()) return;
    painter_ = painter;
    painter_->save();
    base_ = QTransform::fromTranslate(offset.x(), offset.y()) * painter_->worldTransform();
    image_ = nullptr;
    if (QPaintDevice* d = painter_->device(); d && d->devType() == QInternal::Image)
        image_ = static_cast<QImage*>(d);
    const QPaintEngine* e = painter_->paintEngine();
    raster_ = e && e->type() == QPaintEngine::Raster;
    savedAntialias_ = painter_->testRenderHint(QPainter::Antialiasing);
    UpdateLogical();
    ApplyTransform();
}

void QtDevice::End() {
    if (!painter_) return;
    painter_->restore();
    painter_ = nullptr;
    image_ = nullptr;
}

bool QtDevice::SupportsRasterOps() const {
    // Only the raster engine (images, widgets) really combines with the pixels below;
    // the SVG engine claims the feature but writes plain shapes.
    const QPaintEngine* e = painter_ ? painter_->paintEngine() : nullptr;
    return e && e->type() == QPaintEngine::Raster && e->hasFeature(QPaintEngine::RasterOpModes);
}

void QtDevice::MappingChanged() {
    UpdateLogical();
    ApplyTransform();
}

void QtDevice::RopChanged() {}

bool QtDevice::BeginShape(bool fill) {
    if (!painter_) return false;
    const bool notXor = ROP2() == R2_NOTXORPEN;
    if (notXor && !SupportsRasterOps()) return false;  // no inverting on PDF, SVG, paper
    EnsureLogical();

    const LogPen& lp = CurrentPen();
    if (lp.Style == PS_NULL) {
        painter_->setPen(Qt::NoPen);
    } else {
        QPen pen(ToQColor(lp.Color));
        pen.setStyle(ToQtPenStyle(lp.Style));
        // Widths below one device pixel draw one pixel, as on the platform.
        const double devWidth = std::abs(lp.WidthX * ScaleX());
        if (lp.WidthX <= 0 || devWidth < 1.0) {
            pen.setWidth(0);
            pen.setCosmetic(true);
        } else {
            pen.setWidthF(lp.WidthX);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
        }
        painter_->setPen(pen);
    }
    painter_->setBrush(fill ? ToQBrush(CurrentBrush()) : QBrush(Qt::NoBrush));
    if (notXor) {
        painter_->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    return true;
}

void QtDevice::EndShape() {
    if (!painter_) return;
    if (ROP2() == R2_NOTXORPEN) {
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_->setRenderHint(QPainter::Antialiasing, savedAntialias_);
    }
}

void QtDevice::DoLineTo(TPoint from, TPoint to) {
    if (!BeginShape(false)) return;
    painter_->drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
    EndShape();
}

void QtDevice::Polyline(const TPoint* pts, int count) {
    if (count < 2 || !BeginShape(false)) return;
    const auto v = ToPoints(pts, count);
    painter_->drawPolyline(v.data(), int(v.size()));
    EndShape();
}

void QtDevice::Polygon(const TPoint* pts, int count) {
    if (count < 2 || !BeginShape(true)) return;
    const auto v = ToPoints(pts, count);
    painter_->drawPolygon(v.data(), int(v.size()), Qt::OddEvenFill);
    EndShape();
}

QRectF QtDevice::PixelRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) const {
    const QRectF d = LogicalTransform().mapRect(ToQRect(l, t, r, b));
    const double x0 = std::round(d.left()), y0 = std::round(d.top());
    const double x1 = std::round(d.right()), y1 = std::round(d.bottom());
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

void QtDevice::Rectangle(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    if (!BeginShape(true)) return;
    // Axis-parallel rectangles are drawn on whole device pixels (the corners rounded
    // as the platform maps them), so that rectangles side by side (the bands of a
    // gradient) meet without a seam and share their edges exactly.
    const QRectF px = PixelRect(l, t, r, b);
    QPen pen = painter_->pen();
    if (!pen.isCosmetic() && pen.style() != Qt::NoPen)
        pen.setWidthF(pen.widthF() * std::abs(ScaleX()) *
                      std::hypot(base_.m11(), base_.m12()));
    painter_->setPen(pen);
    const bool aa = painter_->testRenderHint(QPainter::Antialiasing);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setWorldTransform(QTransform());
    painter_->drawRect(px);
    ApplyTransform();
    painter_->setRenderHint(QPainter::Antialiasing, aa);
    EndShape();
}

void QtDevice::Ellipse(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    if (!BeginShape(true)) return;
    painter_->drawEllipse(ToQRect(l, t, r, b));
    EndShape();
}

void QtDevice::FillRect(const TRect& r, const LogBrush& brush) {
    if (!painter_) return;
    if (ROP2() == R2_NOTXORPEN && !SupportsRasterOps()) return;
    if (ROP2() == R2_NOTXORPEN)
        painter_->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const bool aa = painter_->testRenderHint(QPainter::Antialiasing);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setWorldTransform(QTransform());
    painter_->fillRect(PixelRect(r.Left, r.Top, r.Right, r.Bottom), ToQBrush(brush));
    ApplyTransform();
    painter_->setRenderHint(QPainter::Antialiasing, aa);
    if (ROP2() == R2_NOTXORPEN)
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtDevice::DrawImage(const TRect& r, const Bild& image) {
    if (!painter_ || image.Empty() || ROP2() == R2_NOTXORPEN) return;
    if (image.Pixels.size() < std::size_t(image.Width) * std::size_t(image.Height) * 4) return;
    // The image's pixel grid mapped onto the rectangle: (0, 0) to (Left, Top),
    // (width, height) to (Right, Bottom); a reversed side mirrors.
    const QImage q(image.Pixels.data(), image.Width, image.Height, image.Width * 4,
                   QImage::Format_RGBA8888);
    const QTransform place((double(r.Right) - r.Left) / image.Width, 0, 0,
                           (double(r.Bottom) - r.Top) / image.Height, r.Left, r.Top);
    const bool smooth = painter_->testRenderHint(QPainter::SmoothPixmapTransform);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_->setWorldTransform(place * LogicalTransform());
    painter_->drawImage(QPointF(0, 0), q);
    ApplyTransform();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

void QtDevice::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    if (!painter_ || text.empty()) return;
    const LogFont& lf = CurrentFont();
    const FontInfo& f = Current();
    const FontInfo::Lauf& l = f.LaufFuer(text);
    if (l.text.isEmpty()) return;

    // Text space: origin at the reference point, x along the text, y down, in font
    // pixels (FontScale per logical unit).
    const double adv = l.advance;
    const double asc = f.ascent, desc = f.descent;
    const std::uint32_t a = TextAlign();
    double dx = 0, dy = 0;
    if ((a & TA_CENTER) == TA_CENTER) dx = -adv / 2;
    else if (a & TA_RIGHT) dx = -adv;
    if ((a & TA_BASELINE) == TA_BASELINE) dy = 0;
    else if (a & TA_BOTTOM) dy = -desc;
    else dy = asc;

    const QTransform& full = logical_;
    const QPointF at = full.map(QPointF(x, y));
    QPointF o(dx, dy);
    if (lf.Escapement == 0 && full.m12() == 0 && full.m21() == 0) {
        // Upright: every text shares one transform, only its position differs.
        const double sx = std::abs(full.m11()) / FontScale;
        const double sy = std::abs(full.m22()) / FontScale;
        if (modus_ != Modus::Text || sx != textSx_ || sy != textSy_) {
            painter_->setWorldTransform(QTransform(sx, 0, 0, sy, 0, 0));
            modus_ = Modus::Text;
            textSx_ = sx;
            textSy_ = sy;
        }
        o += QPointF(at.x() / sx, at.y() / sy);
    } else {
        const double sx = std::hypot(full.m11(), full.m12()) / FontScale;
        const double sy = std::hypot(full.m21(), full.m22()) / FontScale;
        QTransform t = QTransform::fromTranslate(at.x(), at.y());
        if (lf.Escapement != 0) t.rotate(-lf.Escapement / 10.0);
        t.scale(sx, sy);
        painter_->setWorldTransform(t);
        modus_ = Modus::Anders;
    }

    if (painter_->compositionMode() != QPainter::CompositionMode_SourceOver)
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (BkMode() == OPAQUE)
        painter_->fillRect(QRectF(o.x(), o.y() - asc, adv, asc + desc), ToQColor(BkColor()));
    const QColor farbe = ToQColor(TextColor());
    if (painter_->pen().style() != Qt::SolidLine || painter_->pen().color() != farbe)
        painter_->setPen(farbe);
    if (raster_ && l.glyphen) {
        painter_->drawGlyphRun(o, l.run);
    } else if (f.streckung != 1) {
        // Narrowed or widened by a transform, which every engine draws.
        painter_->save();
        painter_->translate(o);
        painter_->scale(f.streckung, 1);
        painter_->setFont(f.natuerlich);
        painter_->drawText(QPointF(0, 0), l.text);
        painter_->restore();
    } else {
        painter_->setFont(f.font);
        painter_->drawText(o, l.text);
    }
}

int QtDevice::GetDeviceCaps(DeviceCap cap) const {
    const QPaintDevice* d = painter_ ? painter_->device() : nullptr;
    if (!d) {
        // Measuring only: an A4 sheet at 96 pixels per inch.
        switch (cap) {
        case DeviceCap::HorzSize: return 210;
        case DeviceCap::VertSize: return 297;
        case DeviceCap::HorzRes: return 794;
        case DeviceCap::VertRes: return 1123;
        case DeviceCap::LogPixelsX:
        case DeviceCap::LogPixelsY: return 96;
        }
        return 0;
    }
    switch (cap) {
    case DeviceCap::HorzSize: return d->widthMM();
    case DeviceCap::VertSize: return d->heightMM();
    case DeviceCap::HorzRes: return d->width();
    case DeviceCap::VertRes: return d->height();
    case DeviceCap::LogPixelsX: return d->logicalDpiX();
    case DeviceCap::LogPixelsY: return d->logicalDpiY();
    }
    return 0;
}

TColor QtDevice::GetPixel(std::int32_t x, std::int32_t y) {
    if (!image_) return ClrInvalid;
    const QPointF d = LogicalTransform().map(QPointF(x, y));
    const int px = int(std::floor(d.x())), py = int(std::floor(d.y()));
    if (px < 0 || py < 0 || px >= image_->width() || py >= image_->height()) return ClrInvalid;
    return FromQColor(image_->pixelColor(px, py));
}

} // namespace kd
