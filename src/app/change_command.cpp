#include "app/change_command.h"

#include "app/exit_status.h"
#include "app/startup_options.h"
#include "ledger/withholding_rules.h"
#include "reports/change_register.h"
#include "spreadsheets/table_export.h"
#include "store/change_record.h"
#include "store/connection.h"
#include "store/ledger_address.h"
#include "widgets/keyed_query_model.h"
#include "widgets/model_rows.h"

#include <QDir>
#include <cstdio>
#include <optional>

namespace change_command {
namespace {

int fail(int status, const QString& text) {
    std::fputs(qPrintable(QStringLiteral("Velarco: ") + text + QLatin1Char('\n')), stderr);
    return status;
}

// The filter the options give, or the refusal of the first one that does not read.
std::optional<change_register::Filter> readFilter(const QHash<QString, QString>& values,
                                                  QString& refusal) {
    change_register::Filter filter;
    for (const auto& [name, date] : {std::pair{QStringLiteral("dal"), &filter.from},
                                     std::pair{QStringLiteral("al"), &filter.to}}) {
        if (!values.contains(name)) {
            refusal = QStringLiteral("manca --%1 (gg/mm/aaaa)").arg(name);
            return std::nullopt;
        }
        const std::optional<QDate> read = ledger::readShortDate(values.value(name).trimmed());
        if (!read) {
            refusal = QStringLiteral("data non valida per --%1: %2 (gg/mm/aaaa)")
                          .arg(name, values.value(name));
            return std::nullopt;
        }
        *date = *read;
    }
    if (filter.from > filter.to) {
        refusal = QStringLiteral("--dal %1 viene dopo --al %2")
                      .arg(values.value(QStringLiteral("dal")), values.value(QStringLiteral("al")));
        return std::nullopt;
    }
    filter.operatorName = values.value(QStringLiteral("operatore")).trimmed();
    filter.action = values.value(QStringLiteral("azione")).trimmed();
    if (!filter.action.isEmpty() && !store::recordedActionWords().contains(filter.action)) {
        refusal = QStringLiteral("azione sconosciuta: %1 (una di: %2)")
                      .arg(filter.action, store::recordedActionWords().join(QStringLiteral(", ")));
        return std::nullopt;
    }
    filter.userId = values.value(QStringLiteral("utente")).trimmed();
    if (values.contains(QStringLiteral("csv")) && values.contains(QStringLiteral("xlsx"))) {
        refusal = QStringLiteral("--csv e --xlsx non vanno insieme");
        return std::nullopt;
    }
    return filter;
}

} // namespace

int run(const StartupOptions& options, const QString& path) {
    QString refusal;
    const std::optional<change_register::Filter> filter = readFilter(options.values, refusal);
    if (!filter)
        return fail(kBadArguments, refusal);
    if (const Status opened = store::openExistingDatabase(path, store::Access::Consult);
        !opened.ok())
        return fail(kNoDatabase, opened.error());
    const auto finish = [](int status) {
        store::closeDatabase();
        return status;
    };

    KeyedQueryModel model;
    if (const Status loaded = model.load(change_register::query(*filter)); !loaded.ok())
        return finish(fail(kNoDatabase, QStringLiteral("lettura del registro delle modifiche non "
                                                       "riuscita: ") +
                                            loaded.error()));
    QString readError;
    QObject::connect(&model, &KeyedQueryModel::readFailed,
                     [&readError](const QString& reason) { readError = reason; });
    QList<int> columns;
    QList<table_export::CellKind> kinds;
    table_export::TableShape shape{
        change_register::title(), change_register::selectionOf(*filter), {}};
    for (int c = 0; c < change_register::columns().size(); ++c) {
        const change_register::Column& column = change_register::columns().at(c);
        if (column.text)
            model.setColumnFormat(c, column.text, Qt::AlignLeft);
        columns.append(c);
        kinds.append(column.kind);
        shape.columns.append({column.caption, column.kind});
    }
    table_export::ModelRows rows(model, columns, kinds);

    const bool xlsx = options.values.contains(QStringLiteral("xlsx"));
    const QString file =
        options.values.value(xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv"));
    if (!file.isEmpty()) {
        const table_export::ExportResult written = table_export::exportTable(
            xlsx ? table_export::FileFormat::Xlsx : table_export::FileFormat::Csv, file, shape,
            rows);
        if (!written.ok())
            return finish(fail(kExportFailed,
                               QStringLiteral("il registro delle modifiche non è stato scritto in "
                                              "%1: %2")
                                   .arg(QDir::toNativeSeparators(file), written.status.error())));
        std::fputs(qPrintable(QStringLiteral("Velarco: %1 modifiche scritte in %2\n")
                                  .arg(written.rows)
                                  .arg(QDir::toNativeSeparators(file))),
                   stdout);
        return finish(kExported);
    }
    QVariantList values;
    while (rows.next(values)) {
        QStringList texts;
        for (const QVariant& value : values)
            texts.append(value.toString());
        std::fputs(qPrintable(texts.join(QStringLiteral(" | ")) + QLatin1Char('\n')), stdout);
    }
    if (!readError.isEmpty())
        return finish(fail(kNoDatabase, QStringLiteral("lettura del registro delle modifiche non "
                                                       "riuscita: ") +
                                            readError));
    return finish(kExported);
}

} // namespace change_command
