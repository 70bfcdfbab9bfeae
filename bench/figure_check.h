#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// `scripts/bench --check`: the figures of a run against the README's performance table,
// whose rows give each figure's name in the bench's output, its value as the README states
// it and its target:
//   | figure | name | Velarco | target |
//   | `StampaS` to PDF | `report_StampaS_whole_ledger_pdf` | 9.1 s | < 12 s |
// Values are a number and a unit (ms, s, min; KB, KiB, MB, MiB; × for a ratio), targets a
// comparison (<, ≤, >, ≥) with one; either may be empty.
namespace figure_check {

// One row of the README's table.
struct Row {
    QString figure; // what it measures, in words
    QString name;   // the bench's name for it
    QString stated; // the value the README states, empty for none
    QString target; // empty for none
};

// The rows of the first table of `markdown` whose header is "figure | name | Velarco | target".
QList<Row> readmeRows(const QString& markdown);

// A run's output: "name: value unit" lines, and "name: skipped (reason)" for a figure that
// could not be taken (a tool or a server missing); other lines are ignored.
struct Run {
    QMap<QString, std::pair<double, QString>> values; // name -> (value, unit)
    QMap<QString, QString> skipped;                   // name -> reason
};
Run readRun(const QString& output);

// A value and unit in the unit the quantity is compared in: milliseconds, KiB, or a plain
// ratio; false for an unknown unit.
bool normalise(double value, const QString& unit, double* normal, QString* kind);

struct Outcome {
    QStringList missed;       // a target missed, or a figure with a target not measured
    QStringList contradicted; // the README's value and the run's differ by more than half
    QStringList notes;        // skipped figures, README figures the run did not take
    QString table;            // the README's table with the run's values, ready to paste
    // 0 every target met and every README value agreed; 1 a target missed; 3 targets met
    // but a README value contradicted.
    int status() const;
};
Outcome check(const QList<Row>& rows, const Run& run);

} // namespace figure_check
