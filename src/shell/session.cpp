#include "shell/session.h"

QString gridPickTitle(GridPick pick) {
    switch (pick) {
    case GridPick::ChangeSubject:
        return QStringLiteral("Modifica");
    case GridPick::DeleteSubject:
        return QStringLiteral("Elimina");
    case GridPick::ChangeRecord:
        return QStringLiteral("Modifica-Ritenute");
    case GridPick::DeleteRecord:
        return QStringLiteral("Elimina-Ritenute");
    case GridPick::Nothing:
        break;
    }
    return QStringLiteral("Seleziona l'operazione ");
}
