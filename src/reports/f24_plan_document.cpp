#include "reports/f24_plan_document.h"

#include "printing/report_format.h"
#include "spreadsheets/memory_rows.h"
#include "tax/due_date.h"
#include "values/stored_money.h"

namespace {

using Style = LineDocument::Style;
using money::formatCents;

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

// code, month, year, amount, count, remittance date
const QList<LineDocument::Table> kTables = {{{0, 1800, kLeft},
                                             {1800, 1400, kCentre},
                                             {3200, 1400, kCentre},
                                             {4600, 2000, kRight},
                                             {6600, 1400, kRight},
                                             {8000, 2000, kCentre}}};

const QString kMonths[] = {
    QStringLiteral("gennaio"), QStringLiteral("febbraio"), QStringLiteral("marzo"),
    QStringLiteral("aprile"),  QStringLiteral("maggio"),   QStringLiteral("giugno"),
    QStringLiteral("luglio"),  QStringLiteral("agosto"),   QStringLiteral("settembre"),
    QStringLiteral("ottobre"), QStringLiteral("novembre"), QStringLiteral("dicembre")};

QString monthText(const QDate& month) {
    return kMonths[month.month() - 1] + QLatin1Char(' ') + QString::number(month.year());
}

// "entro il 18/01/2027 (16/01/2027 è sabato; ...)": the legal date, and why it moved.
QString dueText(const F24Plan& plan) {
    const QString day = tax::dayText(plan.due.legal);
    if (plan.due.reasons.isEmpty())
        return day;
    return QStringLiteral("%1 (%2)").arg(day, plan.due.reasonText());
}

// The invoices of a line; none is shown on a penalty line.
QString countText(const F24Line& line) {
    return line.count ? QString::number(line.count) : QString();
}

void lines(LineDocument& doc, const QString& heading, const QList<F24Line>& lines,
           const QString& totalCaption, bool withDates = false) {
    doc.text(heading, Style::Bold);
    QStringList captions = {QStringLiteral("Codice tributo"), QStringLiteral("Mese rif."),
                            QStringLiteral("Anno rif."), QStringLiteral("Importo"),
                            QStringLiteral("Fatture")};
    if (withDates)
        captions.append(QStringLiteral("Versamento"));
    doc.row(0, captions, Style::Bold);
    int count = 0;
    for (const F24Line& l : lines) {
        doc.row(0, {l.taxCode, l.referenceMonth, l.referenceYear, formatCents(l.amount),
                    countText(l), report::formatValue(l.remittanceDate, report::Format::Date)});
        count += l.count;
    }
    doc.row(
        0,
        {totalCaption, QString(), QString(), formatCents(totalOf(lines)), QString::number(count)},
        Style::Bold);
}

bool hasCondominiumCodes(const F24Plan& plan) {
    for (const F24UserPlan& u : plan.users) {
        for (const QList<F24Line>* list : {&u.toPay, &u.remitted, &u.late}) {
            for (const F24Line& l : *list) {
                if (l.taxCode == u"1019" || l.taxCode == u"1020")
                    return true;
            }
        }
    }
    return false;
}

} // namespace

LineDocument f24PlanDocument(const F24Plan& plan, bool general) {
    const QString month = monthText(QDate(plan.year, plan.month, 1));
    LineDocument doc(
        general ? f24_plan::kGeneralName : f24_plan::kName,
        (general ? QStringLiteral("Piano F24 Generale ") : QStringLiteral("Piano F24 ")) + month,
        kTables);
    doc.text((general ? QStringLiteral("Piano F24 Generale - scadenza di ")
                      : QStringLiteral("Piano F24 - scadenza di ")) +
                 month,
             Style::Title);
    doc.paragraph(
        QStringLiteral("Ritenute pagate in %1, da versare entro il %2")
            .arg(monthText(firstDayOfPaymentMonth(plan.year, plan.month)), dueText(plan)));
    for (const F24UserPlan& u : plan.users) {
        doc.blank();
        doc.text(QStringLiteral("Utente: %1    Codice fiscale: %2")
                     .arg(u.name.isEmpty() ? QStringLiteral("(codice %1)").arg(u.userId) : u.name,
                          u.taxCode.isEmpty() ? QStringLiteral("(mancante)") : u.taxCode),
                 Style::Title);
        if (u.toPay.isEmpty())
            doc.text(QStringLiteral("Nessuna ritenuta da versare per questa scadenza."));
        else
            lines(doc, QStringLiteral("Da versare (sezione Erario)"), u.toPay,
                  QStringLiteral("Totale da versare"));
        if (!u.remitted.isEmpty()) {
            doc.blank();
            lines(doc, QStringLiteral("Già versate, della stessa scadenza"), u.remitted,
                  QStringLiteral("Totale versato"), true);
        }
        if (!u.late.isEmpty()) {
            doc.blank();
            lines(doc, QStringLiteral("Scadute nei mesi precedenti e non versate"), u.late,
                  QStringLiteral("Totale scaduto"));
        }
        if (!u.regularisation.isEmpty()) {
            doc.blank();
            lines(doc,
                  QStringLiteral("Ravvedimento delle scadute, versando il %1 (interessi nel "
                                 "tributo, sanzione ridotta)")
                      .arg(tax::dayText(plan.due.legal)),
                  u.regularisation, QStringLiteral("Totale ravvedimento"));
        }
        for (const QString& note : u.regularisationNotes)
            doc.paragraph(QStringLiteral("Attenzione: ") + note);
    }
    doc.blank();
    doc.text(QStringLiteral("Mese rif. nel formato 00MM e anno rif. AAAA: mese e anno del "
                            "pagamento della fattura."));
    doc.text(QStringLiteral("Non applicati i rinvii facoltativi (ritenute 1040 fino a 100 euro, "
                            "condominio 1019/1020)."));
    if (hasCondominiumCodes(plan))
        doc.text(QStringLiteral("Attenzione: per i codici 1019 e 1020 il mese di riferimento "
                                "non è confermato dalle fonti; verificarlo."),
                 Style::Bold);
    return doc;
}

table_export::TableSource f24PlanTable(const F24Plan& plan, bool general) {
    using table_export::CellKind;
    const QString month = monthText(QDate(plan.year, plan.month, 1));
    table_export::TableShape shape;
    shape.title =
        (general ? QStringLiteral("Piano F24 Generale ") : QStringLiteral("Piano F24 ")) + month;
    if (!general && !plan.users.isEmpty())
        shape.selection.append({QStringLiteral("Utente"), plan.users.first().name});
    shape.selection.append({QStringLiteral("Scadenza"), month});
    shape.selection.append({QStringLiteral("Da versare entro"), dueText(plan)});
    shape.columns = {
        {QStringLiteral("Utente"), CellKind::Text},
        {QStringLiteral("Codice fiscale"), CellKind::Text},
        {QStringLiteral("Sezione"), CellKind::Text},
        {QStringLiteral("Codice tributo"), CellKind::Text},
        {QStringLiteral("Mese rif."), CellKind::Text},
        {QStringLiteral("Anno rif."), CellKind::Text},
        {QStringLiteral("Importo"), CellKind::Money},
        {QStringLiteral("Fatture"), CellKind::Text},
        {QStringLiteral("Versamento"), CellKind::Date},
    };
    QList<QVariantList> rows;
    for (const F24UserPlan& u : plan.users) {
        const QList<std::pair<QString, const QList<F24Line>*>> blocks = {
            {QStringLiteral("Da versare"), &u.toPay},
            {QStringLiteral("Già versata"), &u.remitted},
            {QStringLiteral("Scaduta e non versata"), &u.late},
            {QStringLiteral("Ravvedimento"), &u.regularisation},
        };
        for (const auto& [block, lines] : blocks) {
            for (const F24Line& l : *lines)
                rows.append({u.name, u.taxCode, block, l.taxCode, l.referenceMonth, l.referenceYear,
                             l.amount, countText(l), l.remittanceDate});
        }
    }
    return table_export::memoryTable(std::move(shape), std::move(rows));
}
