#include "reports/st770_document.h"

#include "reports/line_document.h"
#include "reports/st770_rows.h"
#include "spreadsheets/file_reason.h"
#include "store/connection.h"
#include "tax/due_date.h"
#include "values/stored_money.h"

#include <QDataStream>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <optional>

namespace {

using Style = LineDocument::Style;
using money::formatCents;
using st770::Row;

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

// period, withheld, paid, interest, regularised, note, tax code, payment date
const QList<LineDocument::Table> kTables = {{{0, 1150, kCentre},
                                             {1150, 1500, kRight},
                                             {2650, 1500, kRight},
                                             {4150, 1200, kRight},
                                             {5550, 1400, kCentre},
                                             {6950, 800, kCentre},
                                             {7750, 1300, kCentre},
                                             {9050, 1600, kCentre}}};

// Each column's meaning and the point of the return beside it; the tax code's point is
// not confirmed and has none.
struct Point {
    const char* meaning;
    const char* point;
};
const Point kPoints[] = {
    {"Periodo rif.", "1"},       {"Ritenute operate", "2"}, {"Importo versato", "7"},
    {"Interessi", "8"},          {"Ravvedimento", "9"},     {"Note", "10"},
    {"Codice tributo", nullptr}, {"Data versamento", "14"},
};

QString titleOf(int year, bool general) {
    return (general ? QStringLiteral("Prospetto versamenti 770 Generale")
                    : QStringLiteral("Prospetto versamenti 770")) +
           QStringLiteral(" - anno di riferimento %1").arg(year);
}

QString userText(const st770::User& u) {
    return QStringLiteral("Utente: %1    Codice fiscale: %2")
        .arg(u.name.isEmpty() ? QStringLiteral("(codice %1)").arg(u.id) : u.name,
             u.fiscalCode.isEmpty() ? QStringLiteral("(mancante)") : u.fiscalCode);
}

void header(LineDocument& doc) {
    QStringList meanings, points;
    for (const Point& p : kPoints) {
        meanings.append(QString::fromUtf8(p.meaning));
        points.append(p.point ? QStringLiteral("punto %1").arg(QLatin1String(p.point)) : QString());
    }
    doc.row(0, meanings, Style::Bold);
    doc.row(0, points, Style::Bold);
}

QStringList cellsOf(const Row& r) {
    return {r.period,
            formatCents(r.withheld),
            formatCents(r.paid),
            formatCents(r.interest),
            r.regularised ? QStringLiteral("X") : QString(),
            QString(),
            r.taxCode,
            tax::dayText(r.remitted)};
}

void total(LineDocument& doc, const Row& t) {
    doc.row(0,
            {QStringLiteral("Totale"), formatCents(t.withheld), formatCents(t.paid),
             formatCents(t.interest), QString(), QString(), t.taxCode},
            Style::Bold);
}

// What the prospectus holds, read once: the users, the rules they are checked against
// and the year.
struct Contents {
    int year = 0;
    bool general = false;
    QList<st770::User> users;
    std::shared_ptr<const tax::LateRules> rules;
};

// What only the writing of the whole prospectus tells: its size and what the closing
// notes and the table's header depend on.
struct Outline {
    qint64 lines = 0;
    qint64 rows = 0;
    qint64 differences = 0;
    bool regularised = false;       // a row regularised
    bool unconfirmedPeriod = false; // a row of code 1019 or 1020
};

// Writes the prospectus's lines in order, a few at a time.
class Writer {
public:
    Writer(std::shared_ptr<const Contents> contents, LineDocument& doc)
        : contents_(std::move(contents)), doc_(doc) {}

    // Writes the next lines; false at the end or on a failure, which status() names.
    bool write();
    const Status& status() const { return status_; }
    const Outline& seen() const { return seen_; }

private:
    enum class Stage { Title, UserStart, Items, End };

    bool pull();
    void startUser();
    void writeRow();
    void startChecks();
    void notes();

    std::shared_ptr<const Contents> contents_;
    LineDocument& doc_;
    Stage stage_ = Stage::Title;
    qsizetype user_ = 0;
    std::optional<st770::UserItems> items_;
    QHash<QString, Row> totals_;
    st770::Item item_; // the next item of the user, when has_
    bool has_ = false;
    bool checking_ = false; // the rows are written, the differences follow
    bool differed_ = false; // a difference was written
    st770::Kind lastKind_ = st770::Kind::NotRemitted;
    Outline seen_;
    Status status_ = Status::success();
};

bool Writer::pull() {
    has_ = items_->next(item_);
    if (!has_ && !items_->status().ok())
        status_ = items_->status();
    return status_.ok();
}

void Writer::startUser() {
    const st770::User& u = contents_->users.at(user_);
    const Result<QHash<QString, Row>> totals = st770::readTotals(u.id, contents_->year);
    if (!totals.ok()) {
        status_ = totals.status;
        return;
    }
    totals_ = totals.value;
    items_.emplace(u.id, contents_->year, contents_->rules);
    checking_ = false;
    differed_ = false;
    doc_.blank();
    doc_.text(userText(u), Style::Title);
    if (!pull())
        return;
    if (has_ && item_.type == st770::Item::Type::Row) {
        header(doc_);
        return;
    }
    doc_.text(QStringLiteral("Nessun versamento delle ritenute sui compensi pagati nell'anno."));
    startChecks();
}

void Writer::writeRow() {
    const Row r = item_.row;
    doc_.row(0, cellsOf(r));
    ++seen_.rows;
    seen_.regularised = seen_.regularised || r.regularised;
    seen_.unconfirmedPeriod =
        seen_.unconfirmedPeriod || r.taxCode == u"1019" || r.taxCode == u"1020";
    if (!pull())
        return;
    const bool row = has_ && item_.type == st770::Item::Type::Row;
    if (!row || item_.row.taxCode != r.taxCode)
        total(doc_, totals_.value(r.taxCode));
    if (!row)
        startChecks();
}

void Writer::startChecks() {
    checking_ = true;
    doc_.blank();
    doc_.text(QStringLiteral("Verifica prima dell'invio"), Style::Title);
    if (!has_ || item_.type != st770::Item::Type::Difference)
        doc_.text(QStringLiteral("Nessuna differenza da sistemare."));
}

void Writer::notes() {
    doc_.blank();
    doc_.paragraph(QStringLiteral("Numerazione dei punti (1, 2, 7, 8, 9, 10, 14) ricavata dalle "
                                  "istruzioni degli anni dal 2019 al 2023: verificarla sulle "
                                  "istruzioni del modello 770 dell'anno prima dell'invio. Il "
                                  "punto del codice tributo non è confermato e non è indicato."));
    doc_.paragraph(QStringLiteral("Importo versato: versato meno la sanzione, interessi "
                                  "compresi; la sanzione non va nel quadro ST. Note: il registro "
                                  "non ne tiene, la colonna resta vuota."));
    if (seen_.regularised)
        doc_.paragraph(QStringLiteral("Interessi ricalcolati al tasso legale di ciascun anno, "
                                      "arrotondati al centesimo per eccesso dalla metà: regola di "
                                      "arrotondamento non confermata."));
    if (seen_.unconfirmedPeriod)
        doc_.paragraph(QStringLiteral("Attenzione: per i codici 1019 e 1020 il periodo di "
                                      "riferimento non è confermato dalle fonti; verificarlo."));
}

bool Writer::write() {
    const qint64 before = doc_.lineCount();
    switch (stage_) {
    case Stage::Title: {
        const QString title = titleOf(contents_->year, contents_->general);
        doc_.text(title, Style::Title);
        doc_.paragraph(QStringLiteral("Modello 770/%1, quadro ST, sezione I (Erario): ritenute "
                                      "sui compensi pagati nel %2, qualunque sia l'anno del "
                                      "registro. %3")
                           .arg(contents_->year + 1)
                           .arg(contents_->year)
                           .arg(st770::rowsAggregated(contents_->year)
                                    ? QStringLiteral("Una riga per data di versamento, codice "
                                                     "tributo, periodo di riferimento e nota.")
                                    : QStringLiteral("Anno precedente al 2018: una riga per "
                                                     "ogni versamento registrato.")));
        stage_ = Stage::UserStart;
        break;
    }
    case Stage::UserStart:
        if (user_ == contents_->users.size()) {
            notes();
            stage_ = Stage::End;
        } else {
            startUser();
            stage_ = Stage::Items;
        }
        break;
    case Stage::Items:
        if (!checking_) {
            writeRow();
        } else if (!has_) {
            items_.reset();
            ++user_;
            stage_ = Stage::UserStart;
        } else if (item_.type == st770::Item::Type::Difference) {
            const st770::Difference& d = item_.difference;
            if (!differed_ || d.kind != lastKind_)
                doc_.text(st770::kindText(d.kind) + QLatin1Char(':'), Style::Bold);
            differed_ = true;
            lastKind_ = d.kind;
            ++seen_.differences;
            doc_.paragraph(QStringLiteral("- ") + st770::differenceText(d));
            pull();
        } else {
            doc_.paragraph(QStringLiteral("Attenzione: ") + item_.warning);
            pull();
        }
        break;
    case Stage::End:
        return false;
    }
    seen_.lines += doc_.lineCount() - before;
    return status_.ok();
}

// The prospectus's lines, made once and kept in a scratch file with the place of every
// kMarkEvery-th line: a read that goes back or jumps ahead seeks to the mark before its
// first line, any other reads on (the PDF seeks once, to the first line). Only the window
// asked for is held.
class St770Lines : public report::RowSource {
public:
    St770Lines(std::shared_ptr<const Contents> contents, LineDocument doc)
        : contents_(std::move(contents)), doc_(std::move(doc)) {}

    // Makes every line, writing it to the scratch file.
    Status write();
    const Outline& seen() const { return outline_; }
    const report::ReportLayout& layout() const { return doc_.layout(); }

    const QStringList& columns() const override { return doc_.data().columns(); }
    qint64 rowCount() const override { return outline_.lines; }
    Status read(qint64 first, int count, report::RowWindow& window,
                const QList<int>& columns = {}) override;

private:
    static constexpr qint64 kMarkEvery = 64;

    static Status scratchFailure();
    static Status readFailure();
    // Each line as its cells that hold something, by column.
    void store(const QVariantList& line);
    bool load(QVariantList& line);

    std::shared_ptr<const Contents> contents_;
    LineDocument doc_;
    Outline outline_;
    QTemporaryFile file_;
    QDataStream stream_;
    QList<qint64> marks_; // the file's position at lines 0, kMarkEvery, 2 kMarkEvery, ...
    qint64 position_ = 0; // the line the stream is at
};

Status St770Lines::readFailure() {
    return Status::failure(
        QStringLiteral("lettura del file temporaneo del prospetto non riuscita"));
}

Status St770Lines::scratchFailure() {
    const int error = errno ? errno : EIO;
    return Status::failure(fileErrorKind(error),
                           QStringLiteral("impossibile scrivere il file temporaneo del "
                                          "prospetto: ") +
                               fileReason(error));
}

void St770Lines::store(const QVariantList& line) {
    if (position_ % kMarkEvery == 0)
        marks_.append(file_.pos());
    ++position_;
    quint16 filled = 0;
    for (const QVariant& cell : line)
        filled += cell.isValid() ? 1 : 0;
    stream_ << filled;
    for (qsizetype c = 0; c < line.size(); ++c) {
        if (line.at(c).isValid())
            stream_ << quint16(c) << line.at(c);
    }
}

bool St770Lines::load(QVariantList& line) {
    line.fill(QVariant(), doc_.data().columns().size());
    quint16 filled = 0;
    stream_ >> filled;
    for (quint16 i = 0; i < filled; ++i) {
        quint16 column = 0;
        QVariant value;
        stream_ >> column >> value;
        if (column < line.size())
            line[column] = std::move(value);
    }
    ++position_;
    return stream_.status() == QDataStream::Ok;
}

Status St770Lines::write() {
    errno = 0;
    if (!file_.open())
        return scratchFailure();
    stream_.setDevice(&file_);
    Writer writer(contents_, doc_);
    while (writer.write()) {
        for (const QVariantList& line : doc_.takeLines())
            store(line);
    }
    if (!writer.status().ok())
        return writer.status();
    if (stream_.status() != QDataStream::Ok || !file_.flush())
        return scratchFailure();
    outline_ = writer.seen();
    // The stream is left at the end: the first read seeks to its window.
    return Status::success();
}

Status St770Lines::read(qint64 first, int count, report::RowWindow& window,
                        const QList<int>& columns) {
    window.first = std::max<qint64>(first, 0);
    window.rows = int(std::clamp<qint64>(rowCount() - window.first, 0, count));
    window.width = int(columns.isEmpty() ? doc_.data().columns().size() : columns.size());
    window.values.assign(std::size_t(window.rows) * std::size_t(window.width), QVariant());
    if (window.rows == 0)
        return Status::success();
    if (window.first < position_ || window.first >= position_ + kMarkEvery) {
        const qsizetype mark = qsizetype(window.first / kMarkEvery);
        stream_.resetStatus();
        if (!file_.seek(marks_.at(mark)))
            return readFailure();
        position_ = mark * kMarkEvery;
    }
    QVariantList line;
    while (position_ < window.first + window.rows) {
        const qint64 r = position_ - window.first;
        if (!load(line))
            return readFailure();
        if (r < 0)
            continue;
        for (int c = 0; c < window.width; ++c)
            window.values[std::size_t(r * window.width + c)] =
                line.value(columns.isEmpty() ? c : columns.at(c));
    }
    return Status::success();
}

// The rows of the table, user by user, each user's read through its own cursor.
class TableRows : public table_export::RowSource {
public:
    TableRows(std::shared_ptr<const Contents> contents, qint64 rows)
        : contents_(std::move(contents)), rows_(rows) {}
    qint64 size() const override { return rows_; }
    bool next(QVariantList& values) override {
        st770::Item item;
        while (!items_ || !items_->next(item) || item.type != st770::Item::Type::Row) {
            if (items_ && !items_->status().ok()) {
                error_ = items_->status().error();
                return false;
            }
            if (user_ == contents_->users.size())
                return false;
            items_.emplace(contents_->users.at(user_++).id, contents_->year, nullptr);
        }
        const st770::User& u = contents_->users.at(user_ - 1);
        const Row& r = item.row;
        values = {u.name,
                  u.fiscalCode,
                  r.period,
                  r.withheld,
                  r.paid,
                  r.interest,
                  r.regularised ? QStringLiteral("S") : QStringLiteral("N"),
                  QString(),
                  r.taxCode,
                  r.remitted.toString(Qt::ISODate)};
        return true;
    }
    QString error() const override { return error_; }

private:
    store::UnmappedReads unmapped_; // ends after the queries, being declared first
    std::shared_ptr<const Contents> contents_;
    qint64 rows_;
    qsizetype user_ = 0;
    std::optional<st770::UserItems> items_;
    QString error_;
};

table_export::TableShape tableShape(const Contents& c, const Outline& outline) {
    using table_export::CellKind;
    table_export::TableShape shape;
    shape.title = titleOf(c.year, c.general);
    if (!c.general && !c.users.isEmpty())
        shape.selection.append({QStringLiteral("Utente"), c.users.first().name});
    shape.selection.append({QStringLiteral("Anno di riferimento"), QString::number(c.year)});
    shape.selection.append({QStringLiteral("Differenze da sistemare (vedi la stampa)"),
                            QString::number(outline.differences)});
    shape.selection.append({QStringLiteral("Numerazione dei punti"),
                            QStringLiteral("da verificare sulle istruzioni dell'anno")});
    shape.columns = {
        {QStringLiteral("Utente"), CellKind::Text},
        {QStringLiteral("Codice fiscale"), CellKind::Text},
        {QStringLiteral("punto 1 Periodo di riferimento"), CellKind::Text},
        {QStringLiteral("punto 2 Ritenute operate"), CellKind::Money, true},
        {QStringLiteral("punto 7 Importo versato"), CellKind::Money, true},
        {QStringLiteral("punto 8 Interessi"), CellKind::Money, true},
        {QStringLiteral("punto 9 Ravvedimento"), CellKind::Flag},
        {QStringLiteral("punto 10 Note"), CellKind::Text},
        {QStringLiteral("Codice tributo"), CellKind::Text},
        {QStringLiteral("punto 14 Data di versamento"), CellKind::Date},
    };
    return shape;
}

} // namespace

Result<St770Pages> st770Pages(const QString& userId, int year, bool general) {
    Result<St770Pages> result;
    const store::UnmappedReads unmapped;
    auto contents = std::make_shared<Contents>();
    contents->year = year;
    contents->general = general;
    const QString user = general ? QString() : userId;
    Result<QList<st770::User>> users = st770::readUsers(user, year);
    if (!users.ok()) {
        result.status = users.status;
        return result;
    }
    if (users.value.isEmpty())
        return result;
    contents->users = std::move(users.value);
    const Result<tax::LateRules> rules = tax::storedLateRules();
    if (!rules.ok()) {
        result.status = rules.status;
        return result;
    }
    contents->rules = std::make_shared<const tax::LateRules>(rules.value);

    const QString title = titleOf(year, general);
    auto lines = std::make_shared<St770Lines>(
        contents, LineDocument(general ? st770::kGeneralName : st770::kName, title, kTables));
    if (const Status read = lines->write(); !read.ok()) {
        result.status = read;
        return result;
    }
    St770Pages& pages = result.value;
    pages.isEmpty = false;
    pages.layout = lines->layout();
    pages.table.shape = tableShape(*contents, lines->seen());
    pages.table.rows = [contents, rows = lines->seen().rows] {
        return std::make_unique<TableRows>(contents, rows);
    };
    pages.lines = std::move(lines);
    return result;
}
