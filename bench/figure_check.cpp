#include "figure_check.h"

#include <QRegularExpression>
#include <cmath>

namespace figure_check {
namespace {

QStringList cellsOf(const QString& line) {
    QString inner = line.trimmed();
    if (!inner.startsWith(QLatin1Char('|')) || !inner.endsWith(QLatin1Char('|')) ||
        inner.size() < 2)
        return {};
    inner = inner.mid(1, inner.size() - 2);
    QStringList cells = inner.split(QLatin1Char('|'));
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

QString unquoted(const QString& cell) {
    return cell.startsWith(QLatin1Char('`')) && cell.endsWith(QLatin1Char('`')) && cell.size() > 1
               ? cell.mid(1, cell.size() - 2)
               : cell;
}

const QString kNumber = QStringLiteral("([0-9][0-9,]*(?:\\.[0-9]+)?)");
const QString kUnit = QStringLiteral("(ms|s|min|KB|kB|KiB|MB|MiB|x|×)");

double numberOf(const QString& text) {
    return QString(text).remove(QLatin1Char(',')).toDouble();
}

// A stated value: "9.1 s", "108 MiB", "2.3×".
bool parseValue(const QString& text, double* normal, QString* kind) {
    static const QRegularExpression value(QStringLiteral("^%1\\s*%2$").arg(kNumber, kUnit));
    const QRegularExpressionMatch m = value.match(text.trimmed());
    return m.hasMatch() && normalise(numberOf(m.captured(1)), m.captured(2), normal, kind);
}

struct Target {
    QString comparison; // "<", "<=", ">", ">="
    double normal = 0;
    QString kind;
};

bool parseTarget(const QString& text, Target* target) {
    static const QRegularExpression limit(
        QStringLiteral("^(<=|>=|<|>|≤|≥)\\s*%1\\s*%2$").arg(kNumber, kUnit));
    const QRegularExpressionMatch m = limit.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    QString comparison = m.captured(1);
    if (comparison == QStringLiteral("≤"))
        comparison = QStringLiteral("<=");
    else if (comparison == QStringLiteral("≥"))
        comparison = QStringLiteral(">=");
    target->comparison = comparison;
    return normalise(numberOf(m.captured(2)), m.captured(3), &target->normal, &target->kind);
}

bool meets(double value, const Target& target) {
    if (target.comparison == QLatin1String("<"))
        return value < target.normal;
    if (target.comparison == QLatin1String("<="))
        return value <= target.normal;
    if (target.comparison == QLatin1String(">"))
        return value > target.normal;
    return value >= target.normal;
}

// The run's value as the README writes it, in `unit` (the README's for that row, else the
// run's own): three significant digits; milliseconds from a second up in seconds.
QString shown(double normal, const QString& unit) {
    const auto digits = [](double v) {
        const int decimals = v >= 100 ? 0 : v >= 10 ? 1 : v >= 1 ? 2 : 3;
        return QString::number(v, 'f', decimals);
    };
    if (unit == QLatin1String("ms") && normal >= 1000)
        return digits(normal / 1000) + QStringLiteral(" s");
    double one = 1;
    QString kind;
    normalise(1, unit, &one, &kind);
    if (kind == QLatin1String("x"))
        return digits(normal) + QStringLiteral("×");
    return digits(normal / one) + QLatin1Char(' ') + unit;
}

// The unit of a stated value, empty when there is none.
QString unitOf(const QString& stated) {
    static const QRegularExpression value(QStringLiteral("^%1\\s*%2$").arg(kNumber, kUnit));
    return value.match(stated.trimmed()).captured(2);
}

} // namespace

bool normalise(double value, const QString& unit, double* normal, QString* kind) {
    struct Scale {
        const char* unit;
        double factor;
        const char* kind;
    };
    static const Scale scales[] = {
        {"ms", 1, "ms"},
        {"s", 1000, "ms"},
        {"min", 60000, "ms"},
        {"KiB", 1, "KiB"},
        {"KB", 1000.0 / 1024, "KiB"},
        {"kB", 1000.0 / 1024, "KiB"},
        {"MiB", 1024, "KiB"},
        {"MB", 1e6 / 1024, "KiB"},
        {"x", 1, "x"},
        {"×", 1, "x"},
    };
    for (const Scale& s : scales) {
        if (unit == QString::fromUtf8(s.unit)) {
            *normal = value * s.factor;
            *kind = QLatin1String(s.kind);
            return true;
        }
    }
    return false;
}

QList<Row> readmeRows(const QString& markdown) {
    QList<Row> rows;
    bool inTable = false;
    for (const QString& line : markdown.split(QLatin1Char('\n'))) {
        const QStringList cells = cellsOf(line);
        if (!inTable) {
            inTable = cells == QStringList{QStringLiteral("figure"), QStringLiteral("name"),
                                           QStringLiteral("Velarco"), QStringLiteral("target")};
            continue;
        }
        if (cells.isEmpty())
            break;
        if (cells.size() != 4 || cells.at(1).startsWith(QLatin1Char('-')))
            continue;
        rows.append({cells.at(0), unquoted(cells.at(1)), cells.at(2), cells.at(3)});
    }
    return rows;
}

Run readRun(const QString& output) {
    static const QRegularExpression figure(QStringLiteral("^(\\w+): (\\S+) (\\S+)$"));
    static const QRegularExpression skipped(QStringLiteral("^(\\w+): skipped \\((.*)\\)$"));
    Run run;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (const QRegularExpressionMatch m = skipped.match(line); m.hasMatch()) {
            run.skipped.insert(m.captured(1), m.captured(2));
            continue;
        }
        const QRegularExpressionMatch m = figure.match(line);
        bool number = false;
        const double value = m.hasMatch() ? m.captured(2).toDouble(&number) : 0;
        if (number)
            run.values.insert(m.captured(1), {value, m.captured(3)});
    }
    return run;
}

int Outcome::status() const {
    if (!missed.isEmpty())
        return 1;
    return contradicted.isEmpty() ? 0 : 3;
}

Outcome check(const QList<Row>& rows, const Run& run) {
    Outcome outcome;
    outcome.table = QStringLiteral("| figure | name | Velarco | target |\n|---|---|---|---|\n");
    for (const Row& row : rows) {
        Target target;
        const bool hasTarget = !row.target.isEmpty();
        const bool readable = !hasTarget || parseTarget(row.target, &target);
        if (!readable)
            outcome.missed.append(
                QStringLiteral("%1: the target \"%2\" cannot be read").arg(row.name, row.target));
        QString value = row.stated;
        if (run.skipped.contains(row.name)) {
            outcome.notes.append(
                QStringLiteral("%1: skipped (%2)").arg(row.name, run.skipped.value(row.name)));
        } else if (!run.values.contains(row.name)) {
            (hasTarget ? outcome.missed : outcome.notes)
                .append(QStringLiteral("%1: not measured by this run").arg(row.name));
        } else {
            const auto [measured, unit] = run.values.value(row.name);
            double normal = 0;
            QString kind;
            const bool known = normalise(measured, unit, &normal, &kind);
            const QString readmeUnit = unitOf(row.stated);
            value = known ? shown(normal, readmeUnit.isEmpty() ? unit : readmeUnit)
                          : QStringLiteral("%1 %2").arg(measured).arg(unit);
            if (hasTarget && readable && (!known || kind != target.kind || !meets(normal, target)))
                outcome.missed.append(QStringLiteral("%1: %2, target %3 (%4)")
                                          .arg(row.name, value, row.target, row.figure));
            double stated = 0;
            QString statedKind;
            if (known && parseValue(row.stated, &stated, &statedKind) && statedKind == kind &&
                std::fabs(normal - stated) > stated / 2)
                outcome.contradicted.append(QStringLiteral("%1: README %2, this run %3 (%4)")
                                                .arg(row.name, row.stated, value, row.figure));
        }
        outcome.table += QStringLiteral("| %1 | `%2` | %3 | %4 |\n")
                             .arg(row.figure, row.name, value, row.target);
    }
    return outcome;
}

} // namespace figure_check
