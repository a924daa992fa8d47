// Test executables share this main: a Qt application (offscreen for forms), a program
// folder of their own, and for database tests the private server's test database.
#include "platform/program_folder.h"
#include "test_db.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);

    QTemporaryDir home;
    protask::SetProgramFolder(home.path());

#ifdef PROTASK_TEST_USES_DATABASE
    try {
        protask::testing::PrepareTestDatabase();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "cannot prepare the test database: %s\n", e.what());
        return 1;
    }
#endif
    return RUN_ALL_TESTS();
}
