#include "gui/platform/Zwischenablage.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <cmath>
#include <memory>

#include "core/Types.h"
#include "core/page/Formelbild.h"
#include "gui/platform/QtDevice.h"
#include "gui/platform/RichText.h"

namespace kd {

namespace {

QClipboard* Ablage() { return QGuiApplication::clipboard(); }

// Draws the formula on a painter whose device has `proEinheit` pixels per tenth of a
// millimetre.
void Malen(QPainter& p, const Formelbild& bild, double proEinheit) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QtDevice dc(&p);
    dc.SetMapping(bild.Abbildung(proEinheit));
    bild.Zeichnen(dc);
    dc.End();
}

} // namespace

void TextDaten(QMimeData& daten, const QTextDocumentFragment& text, const std::string& formeltext) {
    daten.setHtml(text.toHtml());
    QString klar = text.toPlainText();
    klar.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    daten.setText(klar);
    if (!formeltext.empty())
        daten.setData(QString::fromLatin1(FormeltextMime),
                      QByteArray(formeltext.data(), qsizetype(formeltext.size())));
}

void TextInZwischenablage(const QTextDocumentFragment& text, const std::string& formeltext) {
    auto daten = std::make_unique<QMimeData>();
    TextDaten(*daten, text, formeltext);
    Ablage()->setMimeData(daten.release());
}

std::string FormeltextAus(const QMimeData& daten, QTextEdit* hilfsEdit,
                          QString* nichtDarstellbar) {
    const QString eigen = QString::fromLatin1(FormeltextMime);
    if (daten.hasFormat(eigen)) {
        const QByteArray b = daten.data(eigen);
        return Kurz(std::string(b.constData(), std::size_t(b.size())));
    }
    if (!hilfsEdit) return {};
    hilfsEdit->clear();
    QTextCursor c(hilfsEdit->document());
    if (daten.hasHtml()) {
        c.insertFragment(QTextDocumentFragment::fromHtml(daten.html()));
    } else if (daten.hasText()) {
        c.insertText(daten.text());
    } else {
        return {};
    }
    std::string t = RichTextZuFormeltext(hilfsEdit, nichtDarstellbar);
    hilfsEdit->clear();
    return t;
}

std::string FormeltextAusZwischenablage(QTextEdit* hilfsEdit, QString* nichtDarstellbar) {
    const QMimeData* daten = Ablage()->mimeData();
    return daten ? FormeltextAus(*daten, hilfsEdit, nichtDarstellbar) : std::string();
}

QByteArray FormelbildSvg(const Formelbild& bild) {
    QByteArray svg;
    QBuffer puffer(&svg);
    puffer.open(QIODevice::WriteOnly);
    QSvgGenerator gen;
    gen.setOutputDevice(&puffer);
    // 254 dots per inch: one dot is a tenth of a millimetre, a page unit.
    gen.setResolution(254);
    gen.setSize(QSize(bild.Breite, bild.Hoehe));
    gen.setViewBox(QRect(0, 0, bild.Breite, bild.Hoehe));
    gen.setTitle(QStringLiteral("Formel"));
    QPainter p;
    if (!p.begin(&gen)) return {};
    Malen(p, bild, 1.0);
    p.end();
    return svg;
}

QImage FormelbildPng(const Formelbild& bild, double dpi) {
    const double proEinheit = dpi / 254.0;
    const int w = std::max(1, int(std::lround(bild.Breite * proEinheit)));
    const int h = std::max(1, int(std::lround(bild.Hoehe * proEinheit)));
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    const int proMeter = int(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(proMeter);
    img.setDotsPerMeterY(proMeter);
    QPainter p(&img);
    Malen(p, bild, proEinheit);
    p.end();
    return img;
}

namespace {

void MathMLDazu(QMimeData& daten, const std::string& mathml) {
    const QByteArray m = QByteArray::fromStdString(mathml);
    daten.setData(QString::fromLatin1(MathMLMime), m);
    daten.setHtml(QString::fromUtf8(m));
}

} // namespace

void ExportInZwischenablage(const std::string& utf8, bool mathml) {
    auto daten = std::make_unique<QMimeData>();
    daten->setText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
    if (mathml) MathMLDazu(*daten, utf8);
    Ablage()->clear();
    Ablage()->setMimeData(daten.release());
}

void BildDaten(QMimeData& daten, const Formelbild& bild, const std::string& mathml) {
    if (!mathml.empty()) MathMLDazu(daten, mathml);
    daten.setData(QStringLiteral("image/svg+xml"), FormelbildSvg(bild));
    const QImage png = FormelbildPng(bild);
    QByteArray pngBytes;
    QBuffer puffer(&pngBytes);
    puffer.open(QIODevice::WriteOnly);
    png.save(&puffer, "PNG");
    daten.setData(QStringLiteral("image/png"), pngBytes);
    daten.setImageData(png);
}

void BildInZwischenablage(const Formelbild& bild, const std::string& mathml) {
    auto daten = std::make_unique<QMimeData>();
    BildDaten(*daten, bild, mathml);
    Ablage()->clear();
    Ablage()->setMimeData(daten.release());
}

} // namespace kd
