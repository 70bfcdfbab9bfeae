#pragma once

#include <QString>

// `velarco --version`: the name and the version, one line.
QString versionText();

// `velarco --help`: the usage, every known option with its value and what it does, and
// every exit status, one line each, in Italian; built from the tables it lists.
QString helpText();
