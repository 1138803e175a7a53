#include "platform/qt_background_work.h"

#include <gtest/gtest.h>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

namespace vexlor {
namespace {

// The event loop goes on turning while the work runs on its own thread (a timer keeps
// firing), and what the work makes, even a value that can only be moved, comes back whole.
TEST(BackgroundWork, TheEventLoopTurnsWhileTheWorkRunsAndItsResultComesBack) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    const std::thread::id gui = std::this_thread::get_id();
    bool elsewhere = false;
    const std::unique_ptr<int> made = WhileTheWindowsGoOn([&] {
        elsewhere = std::this_thread::get_id() != gui;
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        return std::make_unique<int>(42);
    });
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(*made, 42);
    EXPECT_TRUE(elsewhere) << "the work ran on the GUI thread";
    EXPECT_GE(ticks, 3) << "the timer stood still while the work ran";
    // Work that ends at once still returns, its end not lost before the loop started.
    EXPECT_EQ(WhileTheWindowsGoOn([] { return 7; }), 7);
}

}  // namespace
}  // namespace vexlor
