#include "reports/st770_document.h"

#include "platform/export/memory_rows.h"
#include "platform/stored_money.h"
#include "tax/due_date.h"

namespace {

using Style = LineDocument::Style;
using money::formatCents;
using st770::Row;

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

// period, withheld, paid, interest, regularised, note, tax code, payment date
const QList<LineDocument::Table> kTables = {{{0, 1150, kCentre},
                                             {1150, 1500, kRight},
                                             {2650, 1500, kRight},
                                             {4150, 1200, kRight},
                                             {5550, 1400, kCentre},
                                             {6950, 800, kCentre},
                                             {7750, 1300, kCentre},
                                             {9050, 1600, kCentre}}};

// Each column's meaning and the point of the return beside it; the tax code's point is
// not confirmed and has none.
struct Point {
    const char* meaning;
    const char* point;
};
const Point kPoints[] = {
    {"Periodo rif.", "1"},       {"Ritenute operate", "2"}, {"Importo versato", "7"},
    {"Interessi", "8"},          {"Ravvedimento", "9"},     {"Note", "10"},
    {"Codice tributo", nullptr}, {"Data versamento", "14"},
};

QString titleOf(const st770::Prospectus& p, bool general) {
    return (general ? QStringLiteral("Prospetto versamenti 770 Generale")
                    : QStringLiteral("Prospetto versamenti 770")) +
           QStringLiteral(" - anno di riferimento %1").arg(p.year);
}

QString userText(const st770::UserProspectus& u) {
    return QStringLiteral("Utente: %1    Codice fiscale: %2")
        .arg(u.name.isEmpty() ? QStringLiteral("(codice %1)").arg(u.userId) : u.name,
             u.fiscalCode.isEmpty() ? QStringLiteral("(mancante)") : u.fiscalCode);
}

void header(LineDocument& doc) {
    QStringList meanings, points;
    for (const Point& p : kPoints) {
        meanings.append(QString::fromUtf8(p.meaning));
        points.append(p.point ? QStringLiteral("punto %1").arg(QLatin1String(p.point)) : QString());
    }
    doc.row(0, meanings, Style::Bold);
    doc.row(0, points, Style::Bold);
}

QStringList cellsOf(const Row& r) {
    return {r.period,
            formatCents(r.withheld),
            formatCents(r.paid),
            formatCents(r.interest),
            r.regularised ? QStringLiteral("X") : QString(),
            QString(),
            r.taxCode,
            tax::dayText(r.remitted)};
}

void total(LineDocument& doc, const Row& t) {
    doc.row(0,
            {QStringLiteral("Totale"), formatCents(t.withheld), formatCents(t.paid),
             formatCents(t.interest), QString(), QString(), t.taxCode},
            Style::Bold);
}

void rows(LineDocument& doc, const st770::UserProspectus& u) {
    if (u.rows.isEmpty()) {
        doc.text(QStringLiteral("Nessun versamento delle ritenute sui compensi pagati nell'anno."));
        return;
    }
    header(doc);
    const QList<Row> totals = st770::totalsByCode(u.rows);
    for (qsizetype i = 0; i < u.rows.size(); ++i) {
        const Row& r = u.rows.at(i);
        doc.row(0, cellsOf(r));
        if (i + 1 == u.rows.size() || u.rows.at(i + 1).taxCode != r.taxCode) {
            for (const Row& t : totals) {
                if (t.taxCode == r.taxCode)
                    total(doc, t);
            }
        }
    }
}

void differences(LineDocument& doc, const st770::UserProspectus& u) {
    doc.text(QStringLiteral("Verifica prima dell'invio"), Style::Title);
    if (u.differences.isEmpty())
        doc.text(QStringLiteral("Nessuna differenza da sistemare."));
    for (qsizetype i = 0; i < u.differences.size(); ++i) {
        const st770::Difference& d = u.differences.at(i);
        if (i == 0 || u.differences.at(i - 1).kind != d.kind)
            doc.text(st770::kindText(d.kind) + QLatin1Char(':'), Style::Bold);
        doc.paragraph(QStringLiteral("- ") + st770::differenceText(d));
    }
    for (const QString& warning : u.warnings)
        doc.paragraph(QStringLiteral("Attenzione: ") + warning);
}

bool any(const st770::Prospectus& p, const std::function<bool(const Row&)>& test) {
    for (const st770::UserProspectus& u : p.users) {
        if (std::any_of(u.rows.begin(), u.rows.end(), test))
            return true;
    }
    return false;
}

void notes(LineDocument& doc, const st770::Prospectus& p) {
    doc.blank();
    doc.paragraph(QStringLiteral("Numerazione dei punti (1, 2, 7, 8, 9, 10, 14) ricavata dalle "
                                 "istruzioni degli anni dal 2019 al 2023: verificarla sulle "
                                 "istruzioni del modello 770 dell'anno prima dell'invio. Il "
                                 "punto del codice tributo non è confermato e non è indicato."));
    doc.paragraph(QStringLiteral("Importo versato: versato meno la sanzione, interessi compresi; "
                                 "la sanzione non va nel quadro ST. Note: il registro non ne "
                                 "tiene, la colonna resta vuota."));
    if (any(p, [](const Row& r) { return r.regularised; }))
        doc.paragraph(QStringLiteral("Interessi ricalcolati al tasso legale di ciascun anno, "
                                     "arrotondati al centesimo per eccesso dalla metà: regola di "
                                     "arrotondamento non confermata."));
    if (any(p, [](const Row& r) { return r.taxCode == u"1019" || r.taxCode == u"1020"; }))
        doc.paragraph(QStringLiteral("Attenzione: per i codici 1019 e 1020 il periodo di "
                                     "riferimento non è confermato dalle fonti; verificarlo."));
}

} // namespace

LineDocument st770Document(const st770::Prospectus& p, bool general) {
    LineDocument doc(general ? st770::kGeneralName : st770::kName, titleOf(p, general), kTables);
    doc.text(titleOf(p, general), Style::Title);
    doc.paragraph(QStringLiteral("Modello 770/%1, quadro ST, sezione I (Erario): ritenute sui "
                                 "compensi pagati nel %2, qualunque sia l'anno del registro. %3")
                      .arg(p.year + 1)
                      .arg(p.year)
                      .arg(p.aggregated ? QStringLiteral("Una riga per data di versamento, "
                                                         "codice tributo, periodo di riferimento "
                                                         "e nota.")
                                        : QStringLiteral("Anno precedente al 2018: una riga per "
                                                         "ogni versamento registrato.")));
    for (const st770::UserProspectus& u : p.users) {
        doc.blank();
        doc.text(userText(u), Style::Title);
        rows(doc, u);
        doc.blank();
        differences(doc, u);
    }
    notes(doc, p);
    return doc;
}

table_export::TableSource st770Table(const st770::Prospectus& p, bool general) {
    using table_export::CellKind;
    table_export::TableShape shape;
    shape.title = titleOf(p, general);
    if (!general && !p.users.isEmpty())
        shape.selection.append({QStringLiteral("Utente"), p.users.first().name});
    shape.selection.append({QStringLiteral("Anno di riferimento"), QString::number(p.year)});
    qsizetype differences = 0;
    for (const st770::UserProspectus& u : p.users)
        differences += u.differences.size();
    shape.selection.append(
        {QStringLiteral("Differenze da sistemare (vedi la stampa)"), QString::number(differences)});
    shape.selection.append({QStringLiteral("Numerazione dei punti"),
                            QStringLiteral("da verificare sulle istruzioni dell'anno")});
    shape.columns = {
        {QStringLiteral("Utente"), CellKind::Text},
        {QStringLiteral("Codice fiscale"), CellKind::Text},
        {QStringLiteral("punto 1 Periodo di riferimento"), CellKind::Text},
        {QStringLiteral("punto 2 Ritenute operate"), CellKind::Money, true},
        {QStringLiteral("punto 7 Importo versato"), CellKind::Money, true},
        {QStringLiteral("punto 8 Interessi"), CellKind::Money, true},
        {QStringLiteral("punto 9 Ravvedimento"), CellKind::Flag},
        {QStringLiteral("punto 10 Note"), CellKind::Text},
        {QStringLiteral("Codice tributo"), CellKind::Text},
        {QStringLiteral("punto 14 Data di versamento"), CellKind::Date},
    };
    QList<QVariantList> rows;
    for (const st770::UserProspectus& u : p.users) {
        for (const Row& r : u.rows)
            rows.append({u.name, u.fiscalCode, r.period, r.withheld, r.paid, r.interest,
                         r.regularised ? QStringLiteral("S") : QStringLiteral("N"), QString(),
                         r.taxCode, r.remitted.toString(Qt::ISODate)});
    }
    return table_export::memoryTable(std::move(shape), std::move(rows));
}
