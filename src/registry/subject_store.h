#pragma once

#include "base/status.h"
#include "store/keyed_query.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <optional>

// The writes of the subject registry, each one transaction with every value bound.
namespace registry {

// One row of `Soggetti` as the subject panel edits it.
struct Subject {
    QString name;          // denominazione
    QString address;       // indirizzo
    QString town;          // citta
    QString postalCode;    // cap
    QString province;      // pr
    QDate birthDate;       // datanascita: NULL when invalid or absent
    QString birthPlace;    // luogo
    QString birthProvince; // prnascita
    QString taxCode;       // codice
    QString vatNumber;     // partita
    bool user = false;     // utente: "S" / "N"
    QString note;          // note
    // Of the yearly certificate; empty stores the defaults below.
    QString causale;       // causale: the letter of the kind of income
    QString otherSumsCode; // codicealtro: why the sums in "altro" bear no withholding
};

inline const QString kDefaultCausale = QStringLiteral("A");
inline const QString kDefaultOtherSumsCode = QStringLiteral("22");

// The rows of the subject choice grid: every subject, in name order, columns in
// table order so that the grid is read back by position.
KeyedQuery subjectGridQuery();

// Column positions of `Soggetti`, as the grid gives them; the columns are declared in
// this order once, in subject_store.cpp.
enum SubjectColumn {
    ColumnId = 0,
    ColumnName = 1,
    ColumnAddress = 2,
    ColumnTown = 3,
    ColumnPostalCode = 4,
    ColumnProvince = 5,
    ColumnBirthDate = 6,
    ColumnBirthPlace = 7,
    ColumnBirthProvince = 8,
    ColumnTaxCode = 9,
    ColumnVatNumber = 10,
    ColumnUser = 11,
    ColumnNote = 12,
    ColumnCausale = 13,
    ColumnOtherSumsCode = 14,
    ColumnVersion = 15, // versione, hidden: checked by a correction or deletion
};

// Appends the subject; gives the new ID.
Result<qint64> insertSubject(const Subject& subject);

// Appends the subject inside the caller's transaction; gives the new ID.
Result<qint64> appendSubject(const Subject& subject);

// Appends the subject under its own key `id`, inside the caller's transaction: a
// ledger brought in from another program keeps its keys.
Status insertSubjectKeepingKey(qint64 id, const Subject& subject);

// Rewrites the subject with key `id`. The value tells whether a row was written:
// false when no subject has that key (any more).
// With `loadedVersion`, a subject changed since it was read at that version is refused
// (ErrorKind::ChangedMeanwhile).
Result<bool> updateSubject(qint64 id, const Subject& subject,
                           std::optional<qint64> loadedVersion = std::nullopt);

// Deletes the subject with key `id`; its withholding rows stay. The value tells
// whether a row was deleted.
Result<bool> deleteSubject(qint64 id, std::optional<qint64> loadedVersion = std::nullopt);

// The subject with key `id` as the grid reads it, one value per column; empty when
// there is none.
Result<QVariantList> fetchSubjectRow(qint64 id);

// The key typed or loaded into the panel's ID field, or no value when the text is
// not a whole positive number.
std::optional<qint64> parseSubjectId(const QString& text);

} // namespace registry
