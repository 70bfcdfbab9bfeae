#pragma once

#include <QIcon>

// The program's emblem, drawn rather than shipped as a file.
QIcon applicationIcon();
