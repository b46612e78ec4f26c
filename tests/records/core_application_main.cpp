// SPDX-License-Identifier: GPL-3.0-or-later
// QProcess and Qt SQL, like the rest of Qt, expect an application object.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
