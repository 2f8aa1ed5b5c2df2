// The main window's output commands: clipboard (text, picture, worksheet formula),
// paste, printing and the picture commands.
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <vector>

#include "core/device/VirtPntBox.h"
#include "core/eval/Tabellenformel.h"
#include "core/export/Formelexport.h"
#include "core/library/Einfuegen.h"
#include "core/notation/Gleichung.h"
#include "core/page/Druckseiten.h"
#include "core/page/Formelbild.h"
#include "core/pictures/Bilder.h"
#include "core/pictures/Seitenbilder.h"
#include "gui/app/DlgFormelSamml.h"
#include "gui/platform/Texte.h"
#include "gui/platform/QtDevice.h"
#include "gui/platform/RichText.h"
#include "gui/platform/VirtPntBox.h"
#include "gui/platform/Zwischenablage.h"

namespace kd {

namespace {

// Pictures larger than this are not taken into a library.
constexpr qint64 MaxBilddatei = 256LL * 1024 * 1024;

const QStringList& Bildfilter() {
    static const QStringList f = {
        QStringLiteral("Alle Dateien (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
        QStringLiteral("JPEG Bilddatei (*.jpg)"),
        QStringLiteral("JPEG Bilddatei (*.jpeg)"),
        QStringLiteral("Bitmaps (*.bmp)"),
        QStringLiteral("Symbole (*.ico)"),
        QStringLiteral("Erweiterte Metadateien (*.emf)"),
        QStringLiteral("Metadateien (*.wmf)"),
    };
    return f;
}

// The picture kind a file name stands for: ".WMF" a metafile, else ".JPG" (or ".JPEG",
// which the open dialog offers too) a JPEG picture, else ".BMP" a bitmap; 0 for any
// other name.
std::int32_t BildTypVonName(const QString& datei) {
    const QString n = datei.toUpper();
    if (n.contains(QLatin1String(".WMF"))) return BildMetadatei;
    if (n.contains(QLatin1String(".JPG")) || n.contains(QLatin1String(".JPEG"))) return BildJpeg;
    if (n.contains(QLatin1String(".BMP"))) return BildBitmap;
    return 0;
}

QString EndungVonTyp(std::int32_t typ) {
    switch (typ) {
    case BildJpeg: return QStringLiteral("JPG");
    case BildBitmap: return QStringLiteral("BMP");
    case BildMetadatei: return QStringLiteral("WMF");
    default: return {};
    }
}

QString FilterVonTyp(std::int32_t typ) {
    switch (typ) {
    case BildJpeg: return QStringLiteral("JPEG Bilddatei (*.jpg)");
    case BildBitmap: return QStringLiteral("Bitmaps (*.bmp)");
    default: return QStringLiteral("Metadateien (*.wmf)");
    }
}

} // namespace

Dateidialoge& TDlgFormelSamml::Dialoge() {
    if (dateidialoge_) return *dateidialoge_;
    if (!eigeneDateidialoge_) eigeneDateidialoge_ = std::make_unique<QtDateidialoge>();
    return *eigeneDateidialoge_;
}

namespace {

// The text a copy command works on: without a selection in RichEdit1 the record's
// text; with one, the selection read back as formula text, a final ";" removed.
// `auswahl` tells which it was.
std::string Arbeitstext(TDlgFormelSamml& w, bool& auswahl) {
    const Formelsammlung& s = w.Sammlung();
    const QTextCursor c = w.RichEdit1->textCursor();
    auswahl = c.hasSelection();
    if (!auswahl) return s.FormelListe[s.AktFormel]->FormelText;
    w.RichEdit2->clear();
    QTextCursor ziel(w.RichEdit2->document());
    ziel.insertFragment(c.selection());
    std::string t = RichTextZuFormeltext(w.RichEdit2);
    w.RichEdit2->clear();
    if (!t.empty() && t.back() == ';') t.pop_back();
    return t;
}

bool FormelGewaehlt(const Formelsammlung& s) {
    return s.AktFormel >= 0 && s.AktFormel < s.FormelListe.Count();
}

// The layouts are rebuilt at the next paint, which is asked for.
void LayoutNeu(Formelsammlung& s) {
    if (s.LayoutUngueltig) s.LayoutUngueltig();
}

// While a drawing for the clipboard or the printer runs, the page's paint box is the
// reference canvas for the text widths, as when it paints itself.
class Referenzbox {
public:
    explicit Referenzbox(gui::TVirtPntBox* pb) : alt_(DrawingState()) {
        DrawingState().CurrentPaintBox = pb;
        if (pb) pb->SetScale();
    }
    ~Referenzbox() { DrawingState() = alt_; }
    Referenzbox(const Referenzbox&) = delete;
    Referenzbox& operator=(const Referenzbox&) = delete;

private:
    TDrawingState alt_;
};

} // namespace

// ---------------------------------------------------------------------------
// Clipboard

void TDlgFormelSamml::SpeedKopierenClick() {
    if (!BenennungAbschliessen()) return;
    if (!FormelGewaehlt(sammlung_)) return;
    QTextCursor c = RichEdit1->textCursor();
    std::string formeltext;
    if (c.hasSelection()) {
        RichEdit2->clear();
        QTextCursor ziel(RichEdit2->document());
        ziel.insertFragment(c.selection());
        formeltext = RichTextZuFormeltext(RichEdit2);
        RichEdit2->clear();
    } else {
        formeltext = sammlung_.FormelListe[sammlung_.AktFormel]->FormelText;
        c.select(QTextCursor::Document);
    }
    TextInZwischenablage(c.selection(), formeltext);
    c.clearSelection();
    RichEdit1->setTextCursor(c);
}

void TDlgFormelSamml::AlsFormelinZwischenablage1Click() {
    if (!BenennungAbschliessen()) return;
    if (!FormelGewaehlt(sammlung_)) return;
    bool auswahl = false;
    const std::string text = Arbeitstext(*this, auswahl);
    const Referenzbox referenz(PaintBox1);
    std::optional<Formelbild> bild = FormelbildSetzen(PaintBox1->Leinwand(), text);
    if (!bild) {
        meldungen_->Warnung(QStringLiteral("Fehler in Formel, oder Markierung falsch"));
        return;
    }
    const Formelexport e = FormelExportieren(text);
    BildInZwischenablage(*bild, e.Ok() ? e.MathML : std::string());
}

// The working text (a marked sub-formula alone) as LaTeX or MathML.
void TDlgFormelSamml::AlsLatexKopieren1Click() {
    if (!BenennungAbschliessen()) return;
    if (!FormelGewaehlt(sammlung_)) return;
    bool auswahl = false;
    const Formelexport e = FormelExportieren(Arbeitstext(*this, auswahl));
    if (!e.Ok()) {
        meldungen_->Warnung(QStringLiteral("Fehler in Formel, oder Markierung falsch"));
        return;
    }
    ExportInZwischenablage(e.Latex, false);
}

void TDlgFormelSamml::AlsMathMLKopieren1Click() {
    if (!BenennungAbschliessen()) return;
    if (!FormelGewaehlt(sammlung_)) return;
    bool auswahl = false;
    const Formelexport e = FormelExportieren(Arbeitstext(*this, auswahl));
    if (!e.Ok()) {
        meldungen_->Warnung(QStringLiteral("Fehler in Formel, oder Markierung falsch"));
        return;
    }
    ExportInZwischenablage(e.MathML, true);
}

void TDlgFormelSamml::SpeedCopyExcel() {
    if (!FormelGewaehlt(sammlung_)) return;
    bool auswahl = false;
    const std::string text = Arbeitstext(*this, auswahl);
    if (!auswahl) {
        int start = 0, ende = 0, anzahl = 0;
        TeilformelSuchen(text, start, ende, 0, anzahl);
        if (anzahl > 1) {
            meldungen_->Warnung(
                QStringLiteral("Die Formel besteht aus mehreren Teilformeln.\n"
                               "Bitte markieren Sie eine mit der Maus oder der Tab-Taste"));
            TeilformelSuchen(text, start, ende, 1, anzahl);
            QTextCursor c = RichEdit1->textCursor();
            c.setPosition(0);
            c.setPosition(SichtbarePosition(text, ende), QTextCursor::KeepAnchor);
            RichEdit1->setTextCursor(c);
            MarkNr = 1;
            return;
        }
    }
    const Tabellenformel t = InTabellenformel(text);
    for (const std::string& w : t.Warnungen) meldungen_->Warnung(AusCp1252(w));
    FormeltextZuRichText(t.Formel, RichEdit2, 9);
    QTextCursor c(RichEdit2->document());
    c.select(QTextCursor::Document);
    TextInZwischenablage(c.selection(), std::string());
    RichEdit2->clear();
}

void TDlgFormelSamml::SpeedEinfuegenClick() {
    if (!BenennungAbschliessen()) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Einfügen"));
    LayoutNeu(sammlung_);
    QString fremd;
    std::string text = OhneSteuerzeichen(FormeltextAusZwischenablage(RichEdit2, &fremd));
    if (!fremd.isEmpty()) {
        // Characters a formula cannot hold are refused, not turned into "?".
        meldungen_->Fehler(FremdeZeichenText(fremd));
        return;
    }
    FormeltextZuRichText(text, RichEdit1, 9);
    text = EinfuegeText(text);
    if (!EinfuegenMoeglich(text)) {
        // The user corrects the text in the new-formula dialog.
        RichEdit1->clear();
        if (KDGData->FormelZeilen.empty()) KDGData->FormelZeilen.emplace_back();
        KDGData->FormelZeilen[0] = text;
        EditNeueFormel();
        return;
    }
    const int neu = FormelEinfuegen(sammlung_, text);
    ShowFormel();
    SetFormel(neu);
}

// ---------------------------------------------------------------------------
// Printing

void TDlgFormelSamml::SpeedDruckenClick() {
    if (!BenennungAbschliessen()) return;
    if (sammlung_.FormelListe.Empty()) return;

    QPrinter drucker(QPrinter::HighResolution);
    std::string bibliothek;
    if (sammlung_.AktBibliothek >= 0 && sammlung_.AktBibliothek < int(sammlung_.Bibliotheken.size()))
        bibliothek = sammlung_.Bibliotheken[std::size_t(sammlung_.AktBibliothek)];
    drucker.setDocName(QStringLiteral("Pexaplan 5.0 - [") + AusCp1252(bibliothek) + QStringLiteral("]"));
    drucker.setPageSize(QPageSize(QPageSize::A4));
    drucker.setPageOrientation(QPageLayout::Portrait);
    if (!Dialoge().Drucken(this, drucker)) return;
    drucker.setPageOrientation(QPageLayout::Portrait);
    // The copies are printed here, one whole library after the other.
    const int kopien = std::max(1, drucker.copyCount());
    drucker.setCopyCount(1);

    QPainter maler;
    if (!maler.begin(&drucker)) {
        meldungen_->AllgemeinerFehler(QStringLiteral("Der Druck konnte nicht begonnen werden."));
        return;
    }
    std::vector<std::string> texte;
    for (const auto& f : sammlung_.FormelListe) texte.push_back(f->FormelText);
    ListenBilder bilder(sammlung_.FormelListe);
    Druckergebnis ergebnis;
    {
        const Referenzbox referenz(PaintBox1);
        QtDevice dc(&maler);
        Druckauftrag a;
        a.Texte = &texte;
        a.Bilder = &bilder;
        a.Seitenstil = KDGData->Seitenstil;
        a.Kopien = kopien;
        a.SeitenBreite = PaintBox1->PageWidth;
        a.SeitenHoehe = PaintBox1->PageHeight;
        a.NeueSeite = [&drucker] { drucker.newPage(); };
        ergebnis = FormelsammlungDrucken(dc, a);
        dc.End();
    }
    maler.end();
    if (!ergebnis.Gedruckt)
        meldungen_->AllgemeinerFehler(
            QStringLiteral("Der Drucker meldet keine bedruckbare Fläche."));
    ShowFormel();
}

// ---------------------------------------------------------------------------
// Pictures

void TDlgFormelSamml::GrafikOpenClick() {
    if (!BenennungAbschliessen()) return;
    LayoutNeu(sammlung_);
    const QString datei = Dialoge().Oeffnen(this, QStringLiteral("Grafik einfügen"), Bildfilter());
    BildAnhaengen(datei);
}

void TDlgFormelSamml::BildAnhaengen(const QString& datei) {
    if (datei.isEmpty() || !FormelGewaehlt(sammlung_)) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Grafik einfügen"));
    const std::int32_t typ = BildTypVonName(datei);
    if (typ == 0) return;

    QFile f(datei);
    if (f.size() > MaxBilddatei) {
        meldungen_->Fehler(QStringLiteral("Die Datei \"%1\" ist zu groß für ein Bild.")
                               .arg(QFileInfo(datei).fileName()));
        return;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        meldungen_->AllgemeinerFehler(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.")
                                          .arg(QFileInfo(datei).fileName()));
        return;
    }
    const QByteArray bytes = f.readAll();
    const std::span<const std::uint8_t> daten(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                              std::size_t(bytes.size()));
    // A file that is no picture of its kind would show nothing: the formula keeps its
    // picture.
    if (!BildGroesse(typ, daten)) {
        meldungen_->Fehler(QStringLiteral("Die Datei \"%1\" ist kein lesbares Bild.")
                               .arg(QFileInfo(datei).fileName()));
        return;
    }
    TFormelBiblio& rec = *sammlung_.FormelListe[sammlung_.AktFormel];
    rec.BildTyp = typ;
    rec.Bild.assign(daten.begin(), daten.end());
    WarteMitNachrichten(wartezeit_);
    sammlung_.Geaendert = true;
    LayoutNeu(sammlung_);
}

void TDlgFormelSamml::Grafikspeichern1Click() {
    if (!FormelGewaehlt(sammlung_)) return;
    const TFormelBiblio& rec = *sammlung_.FormelListe[sammlung_.AktFormel];
    const QString endung = EndungVonTyp(rec.BildTyp);
    if (endung.isEmpty() || rec.Bild.empty()) return;
    const QString datei =
        Dialoge().Speichern(this, QStringLiteral("Grafik speichern unter"),
                            QStringLiteral("Bild.") + endung, endung, {FilterVonTyp(rec.BildTyp)});
    if (datei.isEmpty()) return;
    if (QFileInfo::exists(datei) &&
        meldungen_->Zeige(QFileInfo(datei).fileName(),
                          QStringLiteral("Die Datei existiert bereits! Überschreiben ?"),
                          Meldungen::Symbol::Ausrufezeichen,
                          Meldungen::Tasten::OkAbbrechen) != Meldungen::Antwort::Ok)
        return;
    // Written beside the target and renamed over it: a failed write leaves the old file.
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(reinterpret_cast<const char*>(rec.Bild.data()), qint64(rec.Bild.size())) !=
            qint64(rec.Bild.size()) ||
        !f.commit()) {
        meldungen_->AllgemeinerFehler(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.")
                                          .arg(QFileInfo(datei).fileName()));
    }
}

void TDlgFormelSamml::SpeedBildLoeschenClick() {
    if (!BenennungAbschliessen()) return;
    LayoutNeu(sammlung_);
    if (!FormelGewaehlt(sammlung_)) return;
    TFormelBiblio& rec = *sammlung_.FormelListe[sammlung_.AktFormel];
    if (rec.BildTyp <= 0 && rec.Bild.empty()) return;
    if (meldungen_->Frage(QStringLiteral("Bild wirklich löschen?")) != Meldungen::Antwort::Ja) return;
    const Aenderung schritt(Verlauf(), QStringLiteral("Grafik löschen"));
    rec.Bild.clear();
    rec.BildTyp = 0;
    sammlung_.Geaendert = true;
    LayoutNeu(sammlung_);
}

} // namespace kd
