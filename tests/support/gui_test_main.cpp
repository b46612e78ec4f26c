// SPDX-License-Identifier: GPL-3.0-or-later
// main() for window tests: a QApplication around the tests, on a screen of
// the pixel ratio VORTIGO_SCREEN_SCALE when it is defined. Listing the tests
// (as the build does to register them) needs no application.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>

namespace vortigo::test {
int qtWarnings = 0;
}

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform's own chatter about what it cannot do (raise, grab,
// size hints) is noise here; everything else Qt says still reaches the test
// log, and its warnings are counted for the tests to look at.
void quietOffscreenNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    static const char* const noise[] = {"This plugin does not support", "XDG_RUNTIME_DIR not set"};
    const QByteArray text = message.toLocal8Bit();
    for (const char* n : noise)
        if (std::strstr(text.constData(), n) != nullptr)
            return;
    vortigo::test::qtWarnings += type != QtDebugMsg && type != QtInfoMsg;
    if (defaultHandler)
        defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    defaultHandler = qInstallMessageHandler(quietOffscreenNoise);
#ifdef VORTIGO_SCREEN_SCALE
    qputenv("QT_SCALE_FACTOR", VORTIGO_SCREEN_SCALE);  // a screen of that pixel ratio
#endif
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
