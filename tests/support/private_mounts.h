#pragma once

#include <QString>

// Small file systems of a test's own (a full disk, a read-only medium), mounted in a
// private mount namespace that ends with the test process. Where the system does not
// allow one, the tests that need it are skipped with the reason.
namespace private_mounts {

// Enters a new user and mount namespace. Must run first thing in main(), before any
// thread starts; the test's main function calls it.
void enter();

// Empty when mounting is allowed; otherwise why not.
QString refusal();

// Mounts an empty file system of `kib` KiB at the existing folder `folder`.
bool mountSmall(const QString& folder, int kib, QString* error);

// Makes the file system mounted at `folder` read only, as a medium that cannot be written.
bool makeReadOnly(const QString& folder, QString* error);

} // namespace private_mounts

// A test's main function with a private mount namespace; `App` is the application class.
#define VELARCO_TEST_MAIN_WITH_MOUNTS(TestObject, App)                                             \
    int main(int argc, char* argv[]) {                                                             \
        private_mounts::enter();                                                                   \
        App app(argc, argv);                                                                       \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
