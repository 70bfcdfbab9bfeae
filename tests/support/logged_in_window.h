#pragma once

#include "app/login_steps.h"
#include "app/nota.h"

#include <QGroupBox>
#include <QTest>

// Shows the main window and logs in as `user` for `year` through the login panel, as the
// operator does: the common start of the window tests that work in a user's year.
inline void showAndLogIn(Nota& window, const QString& user, const QString& year) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the window did not become active: focus checks may fail");
    logInThroughPanel(window, user, year);
    if (window.panel("Frame2")->isVisible())
        qFatal("the login was refused");
}
