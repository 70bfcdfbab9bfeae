#include "reports/ritenute_scadute.h"

#include "printing/report_data.h"
#include "reports/landscape_list.h"
#include "tax/due_date.h"
#include "tax/late_payment_text.h"
#include "tax/late_withholdings.h"

#include <memory>

using landscape_list::kCaptionFont;
using landscape_list::kHeadingFont;
using landscape_list::kRuleWidth;
using landscape_list::kTitleFont;
using landscape_list::kTotalFont;
using landscape_list::kValueFont;
using report::field;
using report::FontSpec;
using report::Format;
using report::hline;
using report::label;
using report::named;
using report::ReportLayout;

namespace ritenute_scadute {
namespace {

const FontSpec kNoteFont{QStringLiteral("Liberation Sans Narrow"), 7.5, false, false};

struct Column {
    const char* caption;
    const char* column;
    int left;
    int width;
    Qt::Alignment alignment;
    Format format;
};

const Column kColumns[] = {
    {"Soggetto", "denominazione", 0, 3800, Qt::AlignLeft, Format::Text},
    {"N.Ft", "FT", 3800, 900, Qt::AlignHCenter, Format::Text},
    {"Pagata", "datap", 4700, 1140, Qt::AlignHCenter, Format::Date},
    {"Tributo", "tributo", 5840, 800, Qt::AlignHCenter, Format::Text},
    {"Ritenuta", "ritenuta", 6640, 1300, Qt::AlignRight, Format::Money},
    {"Scad. legale", "scadenza", 8040, 1300, Qt::AlignHCenter, Format::Date},
    {"Giorni", "giorni", 9340, 800, Qt::AlignRight, Format::Text},
    {"Sanzione", "sanzione", 10240, 1300, Qt::AlignRight, Format::Money},
    {"Interessi", "interessi", 11640, 1300, Qt::AlignRight, Format::Money},
    {"Totale", "totale", 13040, 1500, Qt::AlignRight, Format::Money},
};

const QStringList kDataColumns = {
    QStringLiteral("denominazione"), QStringLiteral("FT"),       QStringLiteral("datap"),
    QStringLiteral("tributo"),       QStringLiteral("ritenuta"), QStringLiteral("scadenza"),
    QStringLiteral("giorni"),        QStringLiteral("sanzione"), QStringLiteral("interessi"),
    QStringLiteral("totale"),        QStringLiteral("utente"),   QStringLiteral("nota"),
};

// Why a row has no cost: a year without its legal rate.
QString noteOf(const tax::LateWithholding& row) {
    if (row.cost.outcome == tax::LatePayment::Outcome::Late)
        return {};
    if (row.cost.outcome == tax::LatePayment::Outcome::MissingRate)
        return QStringLiteral("costo non calcolato: manca il tasso legale del %1")
            .arg(row.cost.missingRateYear);
    return tax::notComputedText(row.cost);
}

} // namespace

ReportLayout layout(bool general) {
    ReportLayout layout = landscape_list::layout(QStringLiteral("RitenuteScadute"),
                                                 QStringLiteral("Ritenute scadute"));

    layout.reportHeader.height = 690;
    layout.reportHeader.items = {
        label(QStringLiteral("%d"), 0, 0, 1695, kCaptionFont),
        named(label(QStringLiteral("Ritenute scadute"), 2835, 0, 6800, kTitleFont), kTitle),
        label(QStringLiteral("Utente :"), 1701, 300, 1134, kCaptionFont),
        named(label(QString(), 2835, 300, 7000, kHeadingFont), kUserName),
    };

    layout.pageHeader.height = 420;
    for (const Column& c : kColumns)
        layout.pageHeader.items.append(
            label(QString::fromUtf8(c.caption), c.left, 0, c.width, kCaptionFont, c.alignment));
    layout.pageHeader.items.append(hline(0, 350, kRuleWidth));

    layout.detail.height = 560;
    for (const Column& c : kColumns)
        layout.detail.items.append(field(QString::fromUtf8(c.column), c.left, 0, c.width,
                                         kValueFont, c.alignment, c.format));
    if (general)
        layout.detail.items.append(field(QStringLiteral("utente"), 0, 255, 3800, kNoteFont));
    layout.detail.items.append(field(QStringLiteral("nota"), 4700, 255, 9840, kNoteFont));
    layout.detail.items.append(hline(0, 530, kRuleWidth));
    for (const Column& c : kColumns)
        layout.table.append({QString::fromUtf8(c.column), QString::fromUtf8(c.caption)});
    if (general)
        layout.table.append({QStringLiteral("utente"), QStringLiteral("Utente")});
    layout.table.append({QStringLiteral("nota"), QStringLiteral("Nota")});

    layout.pageFooter.height = 148;

    layout.reportFooter.height = 900;
    layout.reportFooter.items = {
        label(QStringLiteral("Ritenute scadute"), 0, 100, 1700, kCaptionFont),
        report::count(1700, 100, 900, kTotalFont, Qt::AlignHCenter),
        report::sum(QStringLiteral("ritenuta"), 6640, 100, 1300, kTotalFont),
        report::sum(QStringLiteral("sanzione"), 10240, 100, 1300, kTotalFont),
        report::sum(QStringLiteral("interessi"), 11640, 100, 1300, kTotalFont),
        report::sum(QStringLiteral("totale"), 13040, 100, 1500, kTotalFont),
        label(QStringLiteral("Pagina %p  di %P"), 0, 500, 1695, kCaptionFont),
    };
    return layout;
}

Result<PreparedReport> prepare(const ReportRequest& request) {
    Result<PreparedReport> result;
    const bool general = request.name.compare(kGeneralCommand, Qt::CaseInsensitive) == 0;
    const QDate at = request.at.isValid() ? request.at : QDate::currentDate();
    const Result<QList<tax::LateWithholding>> rows =
        general ? tax::lateWithholdings({}, {}, at)
                : tax::lateWithholdings(request.userId, request.year, at);
    if (!rows.ok()) {
        result.status = rows.status;
        return result;
    }
    PreparedReport& prepared = result.value;
    if (rows.value.isEmpty()) {
        prepared.outcome = ReportOutcome::NoData;
        prepared.messageText = catalogue::kNoDataText;
        prepared.messageTitle = catalogue::kNoDataTitle;
        return result;
    }
    // The list is worked out row by row in memory: its rows are not a query to window.
    auto data = std::make_shared<report::ReportData>(kDataColumns);
    for (const tax::LateWithholding& row : rows.value) {
        const bool costed = row.cost.outcome == tax::LatePayment::Outcome::Late;
        const QVariant none;
        data->addRow({row.name, row.invoice, row.paid.toString(Qt::ISODate), row.taxCode,
                      row.withheld.cents(), row.cost.due.legal.toString(Qt::ISODate),
                      row.cost.due.legal.daysTo(at),
                      costed ? QVariant(row.cost.penalty.cents()) : none,
                      costed ? QVariant(row.cost.interestTotal.cents()) : none,
                      costed ? QVariant(row.cost.total.cents()) : none,
                      QStringLiteral("%1 %2").arg(row.user, row.userName), noteOf(row)});
    }
    prepared.rows = data;
    prepared.layout = layout(general);
    const QString title = QStringLiteral("Ritenute scadute al ") + tax::dayText(at);
    prepared.layout.setCaption(kTitle, title);
    prepared.layout.setCaption(
        kUserName, general ? QStringLiteral("tutti")
                           : request.userName + QStringLiteral("  -  anno ") + request.year);
    prepared.layout.caption = title;
    if (!general)
        prepared.layout.selection = {{QStringLiteral("Utente"), request.userName},
                                     {QStringLiteral("Anno"), request.year}};
    prepared.layout.selection.append({QStringLiteral("Alla data"), tax::dayText(at)});
    return result;
}

} // namespace ritenute_scadute
