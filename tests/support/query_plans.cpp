#include "support/query_plans.h"

#include "store/connection.h"
#include "store/dialect.h"

#include <QMap>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QVariant>
#include <memory>
#include <vector>

namespace query_plans {
namespace {

QString reasonOf(const QSqlQuery& query) {
    return store::failureOf(query).error();
}

QStringList sqlitePlan(const QString& sql, const QVariantList& values, QString* error) {
    QSqlQuery query(store::connection());
    if (!query.prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql)) {
        *error = reasonOf(query);
        return {};
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec()) {
        *error = reasonOf(query);
        return {};
    }
    QMap<int, int> depth; // by step id; the top steps have parent 0
    QStringList plan;
    while (query.next()) {
        const int level = depth.value(query.value(1).toInt(), -1) + 1;
        depth.insert(query.value(0).toInt(), level);
        plan.append(QString(level * 2, QLatin1Char(' ')) + query.value(3).toString());
    }
    return plan;
}

// `?` outside quotes becomes $1, $2, ...: the placeholders of PREPARE.
QString numbered(const QString& sql) {
    QString out;
    int n = 0;
    bool quoted = false;
    for (const QChar c : sql) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (c == QLatin1Char('?') && !quoted)
            out += QStringLiteral("$%1").arg(++n);
        else
            out += c;
    }
    return out;
}

QStringList postgresPlan(const QString& sql, const QVariantList& values, QString* error) {
    QSqlQuery query(store::connection());
    QStringList arguments;
    for (const QVariant& value : values) {
        QSqlField field(QString(), value.metaType());
        field.setValue(value);
        arguments.append(store::connection().driver()->formatValue(field));
    }
    const QString explained =
        values.isEmpty()
            ? QStringLiteral("EXPLAIN ") + sql
            : QStringLiteral("EXPLAIN EXECUTE velarco_plan(%1)").arg(arguments.join(','));
    // Whole scans and sorts priced out, and joins made loops that look up the inner table:
    // a hash or merge join reads the whole of a few test rows cheaply, and would hide a
    // missing index that a ledger of a million records cannot do without.
    const QStringList settings = {QStringLiteral("enable_seqscan"), QStringLiteral("enable_sort"),
                                  QStringLiteral("enable_hashjoin"),
                                  QStringLiteral("enable_mergejoin")};
    QStringList before;
    for (const QString& setting : settings)
        before.append(QStringLiteral("SET %1 = off").arg(setting));
    if (!values.isEmpty())
        before.append(QStringLiteral("PREPARE velarco_plan AS ") + numbered(sql));
    for (const QString& statement : before) {
        if (error->isEmpty() && !query.exec(statement))
            *error = reasonOf(query);
    }
    QStringList plan;
    if (error->isEmpty() && !query.exec(explained))
        *error = reasonOf(query);
    while (error->isEmpty() && query.next())
        plan.append(query.value(0).toString());
    QStringList after;
    if (!values.isEmpty())
        after.append(QStringLiteral("DEALLOCATE velarco_plan"));
    for (const QString& setting : settings)
        after.append(QStringLiteral("RESET ") + setting);
    for (const QString& statement : after)
        query.exec(statement);
    return error->isEmpty() ? plan : QStringList();
}

// PostgreSQL: a node of the plan, with the lines that describe it ("Index Cond: ...").
struct Node {
    int indent = 0;
    QString text;
    QStringList details;
    std::vector<std::unique_ptr<Node>> children;
};

std::unique_ptr<Node> treeOf(const QStringList& plan) {
    auto root = std::make_unique<Node>();
    root->indent = -1;
    std::vector<Node*> path{root.get()};
    for (const QString& line : plan) {
        const qsizetype arrow = line.indexOf(QLatin1String("->"));
        const bool node = arrow >= 0 || path.size() == 1;
        if (!node) {
            path.back()->details.append(line.trimmed());
            continue;
        }
        const int indent = int(arrow >= 0 ? arrow : 0);
        while (path.back()->indent >= indent)
            path.pop_back();
        auto child = std::make_unique<Node>();
        child->indent = indent;
        child->text = line.mid(arrow >= 0 ? arrow + 2 : 0).trimmed();
        Node* added = child.get();
        path.back()->children.push_back(std::move(child));
        path.push_back(added);
    }
    return root;
}

bool isJoin(const Node& node) {
    return node.text.startsWith(QLatin1String("Nested Loop")) ||
           node.text.contains(QLatin1String(" Join"));
}

bool readsWhole(const Node& node) {
    if (node.text.startsWith(QLatin1String("Seq Scan")))
        return true;
    if (!node.text.startsWith(QLatin1String("Index Scan")) &&
        !node.text.startsWith(QLatin1String("Index Only Scan")))
        return false;
    for (const QString& detail : node.details) {
        if (detail.startsWith(QLatin1String("Index Cond:")))
            return false;
    }
    return true;
}

// `inner`: the node runs again for each row of an outer loop, or is the side of a join
// that is not the driving one.
void postgresFaults(const Node& node, bool inner, bool inOrder, QStringList& faults) {
    if (inner && readsWhole(node))
        faults.append(QStringLiteral("whole scan inside a join: ") + node.text);
    if (inOrder && (node.text.startsWith(QLatin1String("Sort")) ||
                    node.text.startsWith(QLatin1String("Incremental Sort"))))
        faults.append(QStringLiteral("sort for the order: ") + node.text);
    const bool join = isJoin(node);
    for (std::size_t i = 0; i < node.children.size(); ++i)
        postgresFaults(*node.children[i], inner || (join && i > 0), inOrder, faults);
}

void sqliteFaults(const QStringList& plan, bool inOrder, QStringList& faults) {
    QMap<int, int> loops; // loops seen at each level since the last step above it
    for (const QString& line : plan) {
        const QString step = line.trimmed();
        const int level = int(line.size() - step.size()) / 2;
        loops.erase(loops.upperBound(level), loops.end());
        if (step.contains(QLatin1String("AUTOMATIC")))
            faults.append(QStringLiteral("index built for the statement: ") + step);
        if (inOrder && step.startsWith(QLatin1String("USE TEMP B-TREE FOR")) &&
            step.contains(QLatin1String("ORDER BY")))
            faults.append(QStringLiteral("sort for the order: ") + step);
        const bool loop = (step.startsWith(QLatin1String("SCAN ")) &&
                           step != QLatin1String("SCAN CONSTANT ROW")) ||
                          step.startsWith(QLatin1String("SEARCH "));
        if (!loop)
            continue;
        if (loops.value(level) > 0 && step.startsWith(QLatin1String("SCAN ")))
            faults.append(QStringLiteral("whole scan inside a join: ") + step);
        loops[level] += 1;
    }
}

} // namespace

QStringList planOf(const QString& sql, const QVariantList& values, QString* error) {
    error->clear();
    return store::currentEngine() == store::Engine::PostgreSQL ? postgresPlan(sql, values, error)
                                                               : sqlitePlan(sql, values, error);
}

QStringList faultsOf(const QStringList& plan, bool inOrder) {
    QStringList faults;
    if (store::currentEngine() == store::Engine::PostgreSQL)
        postgresFaults(*treeOf(plan), false, inOrder, faults);
    else
        sqliteFaults(plan, inOrder, faults);
    return faults;
}

} // namespace query_plans
