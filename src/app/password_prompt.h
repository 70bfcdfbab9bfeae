#pragma once

#include "store/server_connection.h"

class MessageBoxes;

// The question a server ledger asks when it wants a password PGPASSWORD and ~/.pgpass do
// not give: a masked Italian input box. What is typed stays in the connection only.
store::PasswordPrompt passwordPrompt(MessageBoxes& boxes);
