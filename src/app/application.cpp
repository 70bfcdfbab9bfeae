#include "app/application.h"

#include <QApplication>

int runVelarco(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return 0;
}
