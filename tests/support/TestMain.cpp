// Shared main() of the test executables: a private HOME and XDG folders (tests never
// touch the real home), Qt's offscreen platform, then GoogleTest.
#include <gtest/gtest.h>

#ifdef QV_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
// The engine's tests run without the widget module: a GUI application gives fonts and pictures.
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char **argv)
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/qvtest-home-XXXXXX"));
    home.setAutoRemove(qEnvironmentVariableIsEmpty("QV_KEEP_TEST_HOME"));
    const QByteArray h = home.path().toUtf8();
    setenv("HOME", h.constData(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
    setenv("XDG_DOCUMENTS_DIR", (h + "/Documents").constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QDir().mkpath(home.path() + QStringLiteral("/.config"));
    QDir().mkpath(home.path() + QStringLiteral("/Documents"));

    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
