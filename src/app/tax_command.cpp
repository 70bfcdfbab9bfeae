#include "app/tax_command.h"

#include "ledger/ledger_lookups.h"
#include "ledger/withholding_rules.h"
#include "store/connection.h"
#include "store/schema.h"
#include "tax/due_date.h"
#include "tax/late_payment.h"
#include "tax/late_payment_text.h"
#include "tax/record_due_date.h"
#include "tax/tax_tables.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cstdio>
#include <optional>

namespace tax_command {
namespace {

const QString kLegalDate = QStringLiteral("scadenza-legale");

// gg/mm/aaaa or aaaa-mm-gg.
std::optional<QDate> readDate(const QString& text) {
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (iso.match(text).hasMatch()) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }
    return ledger::readShortDate(text);
}

int fail(int status, const QString& text) {
    std::fputs(qPrintable(QStringLiteral("Velarco: ") + text + QLatin1Char('\n')), stderr);
    return status;
}

void print(const QStringList& lines) {
    std::fputs(qPrintable(lines.join(QLatin1Char('\n')) + QLatin1Char('\n')), stdout);
}

// The legal rates, return deadlines, calendar choices and tax codes of the ledger, or the
// program's own when there is no ledger yet.
struct TaxData {
    tax::LateRules rules;
    QStringList taxCodes = store::schema::seededTaxCodes();
    QString error;
};

TaxData readTaxData(const QString& named, const QString& defaultPath) {
    TaxData data;
    const QString path = named.isEmpty() ? defaultPath : named;
    if (!QFileInfo::exists(path)) {
        if (!named.isEmpty())
            data.error = QStringLiteral("archivio non trovato: %1").arg(path);
        return data;
    }
    if (const Status opened = store::openDatabase(path); !opened.ok()) {
        data.error = opened.error();
        return data;
    }
    const Result<tax::LateRules> rules = tax::storedLateRules();
    const Result<QStringList> codes = ledger::taxCodes();
    store::closeDatabase();
    if (!rules.ok() || !codes.ok()) {
        data.error = QStringLiteral("lettura dell'archivio %1 non riuscita: %2")
                         .arg(path, rules.ok() ? codes.error() : rules.error());
        return data;
    }
    data.rules = rules.value;
    data.taxCodes = codes.value;
    return data;
}

} // namespace

int run(const StartupOptions& options, const QString& defaultDatabasePath) {
    const QHash<QString, QString>& values = options.values;
    const bool late = options.command == Command::LatePayment;
    const QStringList required =
        late ? QStringList{QStringLiteral("tributo"), QStringLiteral("importo"),
                           QStringLiteral("pagamento"), QStringLiteral("versamento")}
             : QStringList{};
    for (const QString& key : required) {
        if (values.value(key).trimmed().isEmpty())
            return fail(kBadArguments, QStringLiteral("manca --%1").arg(key));
    }
    const QString dateKey = late ? QStringLiteral("pagamento") : kLegalDate;
    const std::optional<QDate> paid = readDate(values.value(dateKey).trimmed());
    if (!paid)
        return fail(kBadArguments, QStringLiteral("data non valida per --%1: %2 (gg/mm/aaaa o "
                                                  "aaaa-mm-gg)")
                                       .arg(dateKey, values.value(dateKey)));
    const std::optional<QDate> remitted =
        late ? readDate(values.value(QStringLiteral("versamento")).trimmed()) : QDate();
    if (!remitted)
        return fail(kBadArguments, QStringLiteral("data non valida per --versamento: %1")
                                       .arg(values.value(QStringLiteral("versamento"))));
    const QString code = values.value(QStringLiteral("tributo"), QStringLiteral("1040")).trimmed();
    const QString amountText = values.value(QStringLiteral("importo"), QStringLiteral("0"));
    const std::optional<Amount> withheld = Amount::parse(amountText);
    if (!withheld || withheld->cents() < 0)
        return fail(kBadArguments,
                    QStringLiteral("importo non valido: %1 (ad esempio 1.234,56)").arg(amountText));

    const TaxData data = readTaxData(options.databasePath, defaultDatabasePath);
    if (!data.error.isEmpty())
        return fail(kNoDatabase, data.error);
    if (!tax::isKnownTaxCode(data.taxCodes, code))
        return fail(kBadArguments, tax::inputFaultText(tax::InputFault::UnknownTaxCode, code));
    // Alone on the command line, the withholding is the only one of its year.
    const tax::DueDate due = tax::dueDateAmong({{*paid, *withheld}}, 0, code, data.rules.choice);
    if (!late) {
        print(tax::dueDateLines(tax::nominalDueDate(*paid), due));
        return kPrinted;
    }
    const tax::LatePaymentInput input{code, *withheld, *paid, due, *remitted};
    switch (const tax::InputFault fault = tax::inputFault(data.taxCodes, input); fault) {
    case tax::InputFault::None:
        break;
    case tax::InputFault::NothingToRemit:
        print({tax::inputFaultText(fault, code)});
        return kNotLate;
    case tax::InputFault::UnknownTaxCode:
    case tax::InputFault::RemittanceBeforePayment:
        return fail(kBadArguments, tax::inputFaultText(fault, code));
    }
    const tax::LatePayment result =
        tax::computeLatePayment(input, data.rules.rates, data.rules.deadlines);
    switch (result.outcome) {
    case tax::LatePayment::Outcome::Late:
        print(tax::latePaymentLines(result));
        return kPrinted;
    case tax::LatePayment::Outcome::NotLate:
        print({QStringLiteral("Scadenza legale: ") + tax::dayText(due.legal),
               tax::notComputedText(result)});
        return kNotLate;
    case tax::LatePayment::Outcome::MissingRate:
        return fail(kMissingRate, tax::notComputedText(result));
    case tax::LatePayment::Outcome::TooLarge:
        break;
    }
    return fail(kBadArguments, tax::notComputedText(result));
}

} // namespace tax_command
