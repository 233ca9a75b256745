#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // The script engine needs an application object, as the host provides.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
