#include "registry/anagrafe_report.h"

using report::field;
using report::FontSpec;
using report::Format;
using report::hline;
using report::label;
using report::ReportItem;
using report::ReportLayout;

namespace {

// Arial and Arial Narrow by their metric twins, at the report's base size.
const FontSpec kCaptionFont{QStringLiteral("Liberation Sans"), 0, true, false};
const FontSpec kValueFont{QStringLiteral("Liberation Sans Narrow"), 0, false, false};
const FontSpec kTitleFont{QStringLiteral("Liberation Sans"), 9.75, true, true};

constexpr int kRuleEnd = 15874;

} // namespace

ReportLayout Anagrafe() {
    ReportLayout layout;
    layout.name = QStringLiteral("Anagrafe");
    layout.caption = QStringLiteral("Anagrafica");
    // The report's own initialisation: margins 0, 800, 400, 0 (left, right, top,
    // bottom), a 20 cm design width, landscape, base font size 8.
    layout.page.landscape = true;
    layout.page.marginLeft = 0;
    layout.page.marginRight = 800;
    layout.page.marginTop = 400;
    layout.page.marginBottom = 0;
    layout.page.reportWidth = 11340;
    layout.page.baseFontSize = 8;

    layout.reportHeader.height = 510;
    layout.reportHeader.items = {
        label(QStringLiteral("Elenco Anagrafica"), 3969, 0, 7950, kTitleFont),
        label(QStringLiteral("%d"), 1134, 0, report::kDefaultItemWidth, kCaptionFont),
    };

    layout.pageHeader.height = 435;
    layout.pageHeader.items = {
        label(QStringLiteral("ID"), 567, 0, report::kDefaultItemWidth, kCaptionFont),
        label(QStringLiteral("ID"), 567, 0, 4535, kCaptionFont),
        label(QStringLiteral("Indirizzo"), 4535, 0, 3975, kCaptionFont),
        label(QStringLiteral("Città"), 8504, 0, 2835, kCaptionFont),
        label(QStringLiteral("C.A.P."), 11339, 0, 1140, kCaptionFont),
        label(QStringLiteral("PR"), 12472, 0, 570, kCaptionFont),
        label(QStringLiteral("Codice Ficale"), 13039, 0, 1695, kCaptionFont),
        label(QStringLiteral("Partita IVA"), 14740, 0, 1140, kCaptionFont),
        hline(0, 350, kRuleEnd),
    };

    // The ID field shares its place with the name and would print over it; it stays in
    // the design but hidden, so the name is readable.
    ReportItem id =
        report::named(field(QStringLiteral("ID"), 567, 0, report::kDefaultItemWidth, kValueFont),
                      QStringLiteral("ID"));
    id.visible = false;

    layout.detail.height = 1449;
    layout.detail.items = {
        id,
        field(QStringLiteral("Denominazione"), 567, 0, 3968, kValueFont),
        field(QStringLiteral("Indirizzo"), 4535, 0, 3975, kValueFont),
        field(QStringLiteral("citta"), 8504, 0, 2835, kValueFont),
        field(QStringLiteral("CAP"), 11339, 0, 1125, kValueFont),
        field(QStringLiteral("PR"), 12472, 0, 570, kValueFont),
        field(QStringLiteral("Codice"), 13039, 0, 1695, kValueFont),
        field(QStringLiteral("partita"), 14740, 0, 1140, kValueFont),
        label(QStringLiteral("Data Nascita"), 4535, 300, 1140, kCaptionFont),
        label(QStringLiteral("Luogo"), 5669, 300, 3960, kCaptionFont),
        label(QStringLiteral("PR"), 9638, 300, 570, kCaptionFont),
        label(QStringLiteral("Utente"), 10205, 300, 1140, kCaptionFont),
        label(QStringLiteral("Note"), 11339, 300, 1140, kCaptionFont),
        field(QStringLiteral("datanascita"), 4535, 567, 1140, kValueFont, Qt::AlignLeft,
              Format::Date),
        field(QStringLiteral("luogo"), 5669, 567, 3960, kValueFont),
        field(QStringLiteral("PRnascita"), 9638, 567, 570, kValueFont),
        field(QStringLiteral("Utente"), 10205, 567, 1140, kValueFont),
        field(QStringLiteral("note"), 11339, 567, 4535, kValueFont),
        hline(0, 1000, kRuleEnd),
    };

    layout.pageFooter.height = 195;

    layout.reportFooter.height = 345;
    layout.reportFooter.items = {
        label(QStringLiteral("Pagina %p di %P"), 1701, 0, 2835, kCaptionFont),
    };

    // The page header's captions are kept as printed; the table names every column
    // for what it holds.
    layout.table = {
        {QStringLiteral("Denominazione"), QStringLiteral("Denominazione")},
        {QStringLiteral("Indirizzo"), QStringLiteral("Indirizzo")},
        {QStringLiteral("citta"), QStringLiteral("Città")},
        {QStringLiteral("CAP"), QStringLiteral("C.A.P.")},
        {QStringLiteral("PR"), QStringLiteral("PR")},
        {QStringLiteral("Codice"), QStringLiteral("Codice Fiscale")},
        {QStringLiteral("partita"), QStringLiteral("Partita IVA")},
        {QStringLiteral("datanascita"), QStringLiteral("Data Nascita")},
        {QStringLiteral("luogo"), QStringLiteral("Luogo Nascita")},
        {QStringLiteral("PRnascita"), QStringLiteral("PR Nascita")},
        {QStringLiteral("Utente"), QStringLiteral("Utente")},
        {QStringLiteral("note"), QStringLiteral("Note")},
    };
    return layout;
}
