// Shared main for every test program: a Qt application object (offscreen for
// widget tests) so that code relying on QCoreApplication works as in the program.
#include <QCoreApplication>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#endif
#include <gtest/gtest.h>


int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef QT_WIDGETS_LIB
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
