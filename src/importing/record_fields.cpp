#include "importing/record_fields.h"

#include <QHash>
#include <array>
#include <initializer_list>

namespace importing {
namespace {

// Only the first rows are searched for the header: an export writes a title and a few
// selection lines above it.
constexpr int kHeaderSearchRows = 30;

struct FieldNames {
    RecordField field;
    const char* label;
    std::initializer_list<const char*> captions;
};

// Captions in key form (see keyOf). "Pagata" and "Ritenute" are the captions of the
// printed lists' exports, where "Pagata" is the payment date.
const FieldNames kFields[] = {
    {RecordField::Name,
     "Denominazione",
     {"denominazione", "soggetto", "percipiente", "fornitore", "beneficiario", "nominativo",
      "ragionesociale", "professionista"}},
    {RecordField::InvoiceNumber,
     "N. fattura",
     {"ft", "nft", "nfattura", "numerofattura", "nrfattura", "numfattura", "fattura", "ndocumento",
      "numerodocumento"}},
    {RecordField::InvoiceDate,
     "Data fattura",
     {"data", "datafattura", "datadocumento", "datafatt"}},
    {RecordField::Taxable, "Imponibile", {"imponibile", "compenso", "importolordo"}},
    {RecordField::Rate, "Aliquota", {"aliquota", "%", "percentuale", "aliquotaritenuta"}},
    {RecordField::Withheld,
     "Ritenuta",
     {"ritenuta", "ritenute", "importoritenuta", "ritenutadacconto", "ritenutaacconto"}},
    {RecordField::Other, "Altro", {"altro", "altresomme", "sommenonsoggette"}},
    {RecordField::Total, "Totale", {"totale", "totalefattura", "totaledocumento"}},
    {RecordField::Paid, "Pagata (S/N)", {"pag", "pagato", "fatturapagata"}},
    {RecordField::PaymentDate, "Data pagamento", {"datap", "pagata", "datapagamento", "pagamento"}},
    {RecordField::Period, "Periodo", {"periodo", "mese", "meseriferimento"}},
    {RecordField::RemittanceDate, "Data versamento", {"versamento", "dataversamento"}},
    {RecordField::LateRegularisation, "Ravvedimento (S/N)", {"ravv", "ravvedimento"}},
    {RecordField::Remitted, "Totale versato", {"versato", "totaleversato", "importoversato"}},
    {RecordField::Interest, "Interessi", {"interessi"}},
    {RecordField::Penalty, "Sanzione", {"sanzione", "sanzioni"}},
    {RecordField::TaxCode, "Codice tributo", {"tributo", "codicetributo", "codtributo"}},
    {RecordField::DueDate, "Scadenza", {"scadenza", "datascadenza"}},
    {RecordField::PayeeTaxCode,
     "Codice fiscale",
     {"codicefiscale", "cf", "codfiscale", "codfisc", "cfiscale"}},
    {RecordField::PayeeVatNumber, "Partita IVA", {"partitaiva", "piva", "partita", "iva"}},
};

// A caption in key form: lower case, accents and everything but letters, digits and
// "%" dropped ("N. Ft" and "n.ft" are "nft", "Città" is "citta").
QString keyOf(const QString& caption) {
    const QString decomposed = caption.normalized(QString::NormalizationForm_KD).toLower();
    QString key;
    for (const QChar c : decomposed) {
        if ((c.isLetterOrNumber() && c.unicode() < 128) || c == u'%')
            key.append(c);
    }
    return key;
}

const QHash<QString, RecordField>& captionTable() {
    static const QHash<QString, RecordField> table = [] {
        QHash<QString, RecordField> captions;
        for (const FieldNames& names : kFields) {
            captions.insert(keyOf(QString::fromUtf8(names.label)), names.field);
            for (const char* caption : names.captions)
                captions.insert(QString::fromLatin1(caption), names.field);
        }
        return captions;
    }();
    return table;
}

QString captionText(const sheet::Value& cell) {
    return cell.kind == sheet::Value::Kind::Text ? cell.text : QString();
}

} // namespace

QString fieldLabel(RecordField field) {
    for (const FieldNames& names : kFields) {
        if (names.field == field)
            return QString::fromUtf8(names.label);
    }
    return {};
}

std::optional<RecordField> fieldOfCaption(const QString& caption) {
    const auto found = captionTable().constFind(keyOf(caption));
    if (found == captionTable().cend())
        return std::nullopt;
    return *found;
}

ColumnFields matchCaptions(const sheet::Row& header) {
    ColumnFields fields;
    std::array<bool, kRecordFieldCount> taken{};
    for (const sheet::Value& cell : header.cells) {
        std::optional<RecordField> field = fieldOfCaption(captionText(cell));
        if (field && taken[std::size_t(*field)])
            field.reset();
        if (field)
            taken[std::size_t(*field)] = true;
        fields.append(field);
    }
    return fields;
}

int findHeaderRow(const QList<sheet::Row>& rows) {
    int best = -1;
    qsizetype bestCount = 1;
    for (int i = 0; i < rows.size() && i < kHeaderSearchRows; ++i) {
        const ColumnFields fields = matchCaptions(rows.at(i));
        const qsizetype count = std::count_if(fields.begin(), fields.end(),
                                              [](const auto& field) { return field.has_value(); });
        if (count > bestCount) {
            best = i;
            bestCount = count;
        }
    }
    return best;
}

} // namespace importing
