#include "app/password_prompt.h"

#include "shell/message_boxes.h"

store::PasswordPrompt passwordPrompt(MessageBoxes& boxes) {
    return [&boxes](const QString& address, const QString& reason) -> std::optional<QString> {
        const QString password =
            boxes.input(QStringLiteral("Il server chiede la password per l'archivio\n%1\n\n(%2)")
                            .arg(address, reason.trimmed()),
                        QStringLiteral("Password del database"), true);
        if (password.isEmpty())
            return std::nullopt;
        return password;
    };
}
