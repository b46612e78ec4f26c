// SPDX-License-Identifier: GPL-3.0-or-later
// main() for window tests: a QApplication around the tests. Listing the
// tests (as the build does to register them) needs no application.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform's own chatter about what it cannot do is noise
// here; everything else Qt says still reaches the test log.
void quietOffscreenNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    static const char* const noise[] = {"does not support propagateSizeHints", "XDG_RUNTIME_DIR not set"};
    const QByteArray text = message.toLocal8Bit();
    for (const char* n : noise)
        if (std::strstr(text.constData(), n) != nullptr)
            return;
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
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
