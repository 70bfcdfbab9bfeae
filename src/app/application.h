#pragma once

// Starts the program: options, database, splash and main window.
int runVelarco(int argc, char* argv[]);
