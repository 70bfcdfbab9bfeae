#include "app/tax_command.h"

#include "ledger/withholding_rules.h"
#include "store/connection.h"
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

// The legal rates and the calendar choices of the ledger, or the program's own rates
// when there is no ledger yet.
struct TaxData {
    tax::LegalRates rates = tax::knownLegalRates();
    tax::CalendarChoice choice;
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
    const Result<tax::LegalRates> rates = tax::loadLegalRates();
    const Result<tax::CalendarChoice> choice = tax::storedCalendarChoice();
    store::closeDatabase();
    if (!rates.ok() || !choice.ok()) {
        data.error = QStringLiteral("lettura dell'archivio %1 non riuscita: %2")
                         .arg(path, rates.ok() ? choice.error() : rates.error());
        return data;
    }
    data.rates = rates.value;
    data.choice = choice.value;
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
    // Alone on the command line, the withholding is the only one of its year.
    const tax::DueDate due = tax::dueDateAmong({{*paid, *withheld}}, 0, code, data.choice);
    if (!late) {
        print(tax::dueDateLines(ledger::dueDateOf(*paid), due));
        return kPrinted;
    }
    const tax::LatePayment result =
        tax::computeLatePayment({code, *withheld, *paid, due, *remitted}, data.rates);
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
