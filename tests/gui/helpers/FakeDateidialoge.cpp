#include "helpers/FakeDateidialoge.h"

#include <QPrinter>

namespace kdtest {

namespace {
QString Naechste(std::deque<QString>& q) {
    if (q.empty()) return {};
    QString d = q.front();
    q.pop_front();
    return d;
}
} // namespace

QString FakeDateidialoge::Oeffnen(QWidget*, const QString& titel, const QStringList& filter) {
    aufrufe.push_back({QStringLiteral("oeffnen"), titel, filter, {}, {}, {}});
    return Naechste(dateien);
}

QString FakeDateidialoge::Speichern(QWidget*, const QString& titel, const QString& vorschlag,
                                    const QString& endung, const QStringList& filter) {
    aufrufe.push_back({QStringLiteral("speichern"), titel, filter, vorschlag, endung, {}});
    return Naechste(dateien);
}

bool FakeDateidialoge::Drucken(QWidget*, QPrinter& drucker) {
    aufrufe.push_back({QStringLiteral("drucken"), {}, {}, {}, {}, drucker.docName()});
    if (pdf.isEmpty()) return false;
    drucker.setOutputFormat(QPrinter::PdfFormat);
    drucker.setOutputFileName(pdf);
    drucker.setCopyCount(kopien);
    return true;
}

} // namespace kdtest
