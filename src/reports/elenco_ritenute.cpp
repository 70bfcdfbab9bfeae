#include "reports/elenco_ritenute.h"

#include "reports/landscape_list.h"

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
using report::ReportItem;
using report::ReportLayout;
using report::ReportSection;

namespace {

const FontSpec kUserCaptionFont{QStringLiteral("Liberation Sans"), 9.0, false, false};

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight;

ReportLayout base(const QString& name) {
    return landscape_list::layout(name, QStringLiteral("Elenco Ritenute"));
}

ReportSection pageHeader() {
    struct Caption {
        int left;
        int width;
        const char* text;
        Qt::Alignment alignment;
    };
    const Caption captions[] = {
        {0, 4535, "Soggetto", kLeft},         {4535, 1140, "Data", kCentre},
        {5669, 1140, "N.Ft", kCentre},        {6803, 1140, "Pagata", kCentre},
        {7937, 1140, "scadenza", kCentre},    {9071, 1140, "Periodo", kCentre},
        {10205, 1140, "Tributo", kCentre},    {11339, 1140, "Versamento", kCentre},
        {12472, 1140, "Imponibile", kCentre}, {13606, 555, "%", kCentre},
        {14173, 1140, "Ritenute", kRight},    {14740, 1140, "Ravv", kRight},
    };
    ReportSection section;
    section.height = 420;
    for (const Caption& c : captions)
        section.items.append(
            label(QString::fromUtf8(c.text), c.left, 0, c.width, kCaptionFont, c.alignment));
    section.items.append(hline(0, 350, kRuleWidth));
    return section;
}

// The first line of a record, the same in both layouts but for two details.
QList<ReportItem> recordLine(int nameWidth, Qt::Alignment withheldAlignment) {
    return {
        field(QStringLiteral("denominazione"), 0, 0, nameWidth, kValueFont, kLeft),
        field(QStringLiteral("data"), 4535, 0, 1125, kValueFont, kCentre, Format::Date),
        field(QStringLiteral("FT"), 5669, 0, 1125, kValueFont, kCentre),
        field(QStringLiteral("datap"), 6803, 0, 1125, kValueFont, kCentre, Format::Date),
        field(QStringLiteral("scadenza"), 7937, 0, 1125, kValueFont, kCentre, Format::Date),
        field(QStringLiteral("periodo"), 9071, 0, 1125, kValueFont, kCentre),
        field(QStringLiteral("tributo"), 10205, 0, 1125, kValueFont, kCentre),
        field(QStringLiteral("versamento"), 11339, 0, 1125, kValueFont, kCentre, Format::Date),
        field(QStringLiteral("imponibile"), 12472, 0, 1125, kValueFont, kCentre, Format::Money),
        field(QStringLiteral("aliquota"), 13606, 0, 570, kValueFont, kCentre, Format::Rate),
        field(QStringLiteral("ritenuta"), 14173, 0, 1125, kValueFont, withheldAlignment,
              Format::Money),
        field(QStringLiteral("ravv"), 15307, 0, 555, kValueFont, kRight),
    };
}

// Interest and penalty are stored as cents like every amount, so they print as money.
QList<ReportItem> remittanceBlock() {
    return {
        label(QStringLiteral("Interessi"), 4535, 350, 1140, kCaptionFont),
        label(QStringLiteral("Sanzione"), 5669, 350, 1140, kCaptionFont),
        label(QStringLiteral("Versato"), 14740, 350, 1140, kCaptionFont),
        field(QStringLiteral("interessi"), 4535, 567, 1125, kValueFont, kLeft, Format::Money),
        field(QStringLiteral("sanzione"), 5669, 567, 1125, kValueFont, kLeft, Format::Money),
        field(QStringLiteral("versato"), 14740, 567, 1125, kValueFont, kLeft, Format::Money),
    };
}

QList<ReportItem> footerTotals(int countLeft, int countCaptionWidth) {
    return {
        label(QStringLiteral("Deleghe"), 0, 0, countCaptionWidth, kCaptionFont, kLeft),
        report::count(countLeft, 0, 1125, kTotalFont, kCentre),
        label(QStringLiteral("Imponibile"), 7937, 0, 1140, kCaptionFont, kRight),
        report::sum(QStringLiteral("imponibile"), 9071, 0, 1125, kTotalFont),
        label(QStringLiteral("Interessi"), 7937, 300, 1140, kCaptionFont, kRight),
        report::sum(QStringLiteral("interessi"), 9071, 300, 1125, kTotalFont),
        label(QStringLiteral("Sanzioni"), 7937, 650, 1140, kCaptionFont, kRight),
        report::sum(QStringLiteral("sanzione"), 9071, 650, 1125, kTotalFont),
        label(QStringLiteral("Totale  Ritenute"), 12472, 0, 2265, kCaptionFont, kRight),
        report::sum(QStringLiteral("ritenuta"), 14740, 0, 1125, kTotalFont),
        label(QStringLiteral("Totale  Versato"), 12472, 350, 2265, kCaptionFont, kRight),
        report::sum(QStringLiteral("versato"), 14740, 350, 1125, kTotalFont),
        label(QStringLiteral("Pagina %p  di %P"), 0, 567, 1695, kCaptionFont, kLeft),
    };
}

// The columns of the first line of a record, with the captions printed over them.
QList<report::TableColumn> recordColumns() {
    return {
        {QStringLiteral("denominazione"), QStringLiteral("Soggetto")},
        {QStringLiteral("data"), QStringLiteral("Data")},
        {QStringLiteral("FT"), QStringLiteral("N.Ft")},
        {QStringLiteral("datap"), QStringLiteral("Pagata")},
        {QStringLiteral("scadenza"), QStringLiteral("Scadenza")},
        {QStringLiteral("periodo"), QStringLiteral("Periodo")},
        {QStringLiteral("tributo"), QStringLiteral("Tributo")},
        {QStringLiteral("versamento"), QStringLiteral("Versamento")},
        {QStringLiteral("imponibile"), QStringLiteral("Imponibile")},
        {QStringLiteral("aliquota"), QStringLiteral("%")},
        {QStringLiteral("ritenuta"), QStringLiteral("Ritenute")},
        {QStringLiteral("ravv"), QStringLiteral("Ravv")},
    };
}

QList<report::TableColumn> remittanceColumns() {
    return {
        {QStringLiteral("interessi"), QStringLiteral("Interessi")},
        {QStringLiteral("sanzione"), QStringLiteral("Sanzione")},
        {QStringLiteral("versato"), QStringLiteral("Versato")},
    };
}

} // namespace

ReportLayout ElencoRitenute() {
    ReportLayout layout = base(QStringLiteral("ElencoRitenute"));

    layout.reportHeader.height = 690;
    layout.reportHeader.items = {
        label(QStringLiteral("%d"), 0, 0, 1695, kCaptionFont),
        named(label(QStringLiteral("Elenco Ritenute "), 2835, 0, 4545, kTitleFont),
              elenco_ritenute::kTitle),
        label(QStringLiteral("Anno"), 9071, 0, 1140, kCaptionFont, kCentre),
        named(label(QString(), 10205, 0, 1134, kHeadingFont), elenco_ritenute::kYear),
        label(QStringLiteral("Utente :"), 1701, 300, 1134, kUserCaptionFont),
        named(label(QString(), 2835, 300, 5670, kHeadingFont), elenco_ritenute::kUserName),
    };

    layout.pageHeader = pageHeader();

    layout.detail.height = 1217;
    layout.detail.items = recordLine(4535, kRight);
    layout.detail.items.append(label(QStringLiteral("Saldo"), 0, 350, 1140, kCaptionFont));
    layout.detail.items.append(
        named(field(QStringLiteral("saldo"), 0, 567, 1125, kValueFont, kLeft, Format::Money),
              elenco_ritenute::kBalance));
    layout.detail.items.append(remittanceBlock());
    layout.detail.items.append(hline(0, 950, 15870));

    layout.pageFooter.height = 148;

    layout.reportFooter.height = 1110;
    layout.reportFooter.items = footerTotals(567, 795);
    layout.reportFooter.items.append(
        label(QStringLiteral("Saldo"), 12472, 650, 2265, kCaptionFont, kRight));
    layout.reportFooter.items.append(
        report::sum(QStringLiteral("saldo"), 14740, 650, 1131, kTotalFont));

    layout.table = recordColumns();
    layout.table.append({QStringLiteral("saldo"), QStringLiteral("Saldo")});
    layout.table.append(remittanceColumns());
    return layout;
}

ReportLayout ElencoRitenuteG() {
    ReportLayout layout = base(QStringLiteral("ElencoRitenuteG"));

    layout.reportHeader.height = 360;
    layout.reportHeader.items = {
        label(QStringLiteral("%d"), 0, 0, 1695, kCaptionFont),
        named(label(QStringLiteral("Elenco Ritenute "), 2835, 0, 4545, kTitleFont),
              elenco_ritenute::kTitle),
    };

    layout.pageHeader = pageHeader();

    layout.detail.height = 1035;
    layout.detail.items = recordLine(4530, kCentre);
    layout.detail.items.append(field(QStringLiteral("utente"), 0, 567, 567, kValueFont));
    layout.detail.items.append(
        field(QStringLiteral("Soggetti_Denominazione"), 567, 567, 3960, kValueFont));
    layout.detail.items.append(remittanceBlock());
    layout.detail.items.append(hline(0, 950, 15870));

    layout.pageFooter.height = 148;

    layout.reportFooter.height = 1110;
    layout.reportFooter.items = footerTotals(900, 800);

    layout.table = recordColumns();
    layout.table.append({QStringLiteral("utente"), QStringLiteral("Utente")});
    layout.table.append(
        {QStringLiteral("Soggetti_Denominazione"), QStringLiteral("Denominazione utente")});
    layout.table.append(remittanceColumns());
    return layout;
}
