#pragma once

#include <QString>

class Nota;

// The operator's login, step by step: picks `user` in the users list, types `year` and
// presses "Accedi". The README's pictures and the window tests start from here, so that
// they reach a user's year the way the operator does.
void logInThroughPanel(Nota& window, const QString& user, const QString& year);
