#pragma once

#include <functional>

class QComboBox;
class QObject;

// Calls `choose` on every choice the operator makes in the editable list `combo`: an
// entry picked from the list, or a typed text matching an entry (letter case aside) once
// the field is confirmed or left. Each is a choice every time, whatever entry the list
// held under a text the program emptied or rewrote. A text the program writes over the
// typed one is no choice. The connections live as long as `context`.
void onComboChoice(QComboBox* combo, QObject* context, std::function<void()> choose);
