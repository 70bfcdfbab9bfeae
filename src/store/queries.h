#pragma once

#include "base/status.h"

#include <QString>
#include <QStringList>
#include <optional>

// Look-ups the window shell needs; each query binds its values.
namespace store {

// Years offered for selection, ascending.
Result<QStringList> years();

// Names of the subjects flagged as users, in name order.
Result<QStringList> userNames();

// Names of every subject, in name order.
Result<QStringList> subjectNames();

// The ID of the first subject whose name equals `name`, ignoring letter case;
// no value when none does.
Result<std::optional<qint64>> subjectIdByName(const QString& name);

// A subject found by one of its codes: its ID and its name.
struct SubjectRef {
    qint64 id = 0;
    QString name;
};

enum class SubjectCode { TaxCode, VatNumber }; // codice fiscale, partita IVA

// The first subject (lowest ID) whose code of kind `kind` is `code`, blanks and letter
// case aside; no value when none is.
Result<std::optional<SubjectRef>> subjectByCode(SubjectCode kind, const QString& code);

} // namespace store
