// Test programs start a headless QApplication, so widget and model tests run
// without a display, then hand over to GoogleTest.
#include <QApplication>
#include <gmock/gmock.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt WebEngine needs shared OpenGL contexts set before the application
    // object exists; it costs nothing for tests that do not render pages.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
