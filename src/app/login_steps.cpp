#include "app/login_steps.h"

#include "app/nota.h"

#include <QComboBox>
#include <QPushButton>

void logInThroughPanel(Nota& window, const QString& user, const QString& year) {
    auto* users = window.findChild<QComboBox*>(QStringLiteral("cbo1"));
    const int index = users->findText(user);
    users->setCurrentIndex(index);
    Q_EMIT users->activated(index);
    window.findChild<QComboBox*>(QStringLiteral("cbo2"))->setEditText(year);
    window.findChild<QPushButton*>(QStringLiteral("Cmd1"))->click();
}
