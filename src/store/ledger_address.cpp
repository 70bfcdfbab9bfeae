#include "store/ledger_address.h"

#include <QUrl>

namespace store {

QString LedgerAddress::display() const {
    if (!server)
        return path;
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    return text + host + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + database;
}

bool isServerAddress(const QString& text) {
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

LedgerAddress parseLedgerAddress(const QString& text, QString* error) {
    LedgerAddress address;
    if (!isServerAddress(text)) {
        address.path = text;
        return address;
    }
    address.server = true;
    const QUrl url(text, QUrl::StrictMode);
    auto refuse = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("Indirizzo del database non valido \"%1\": %2")
                         .arg(url.isValid() ? address.display() : QStringLiteral("postgresql://…"),
                              reason);
        return address;
    };
    if (!url.isValid())
        return refuse(QStringLiteral("non è un indirizzo postgresql://utente@server:porta/nome"));
    address.user = url.userName();
    address.host = url.host();
    address.port = url.port(5432);
    address.database = url.path().mid(1);
    if (!url.password().isEmpty())
        return refuse(QStringLiteral("la password non va scritta nell'indirizzo: usare "
                                     "PGPASSWORD o il file ~/.pgpass, oppure inserirla quando "
                                     "viene chiesta"));
    if (address.host.isEmpty())
        return refuse(QStringLiteral("manca il nome del server"));
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/')))
        return refuse(QStringLiteral("manca il nome del database"));
    if (url.hasQuery() || url.hasFragment())
        return refuse(QStringLiteral("l'indirizzo non ammette parametri"));
    return address;
}

} // namespace store
