#include <gtest/gtest.h>
#include <QApplication>
TEST(Skeleton, ApplicationRunsOffscreen) { EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen")); }
