// The main of the window tests: Qt on the offscreen platform unless another is chosen, then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Test discovery runs this program without the tests' environment: default to no display at all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef PARVIX_TEST_FONT_DIR
    // The offscreen platform draws with the fonts of one folder here; Wine passes no QT_ variable on.
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", PARVIX_TEST_FONT_DIR);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
