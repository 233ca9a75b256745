#include "platform/qt/qt_dispatcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A send from a worker is handled on the Qt object's thread while its event
// loop runs, and the sender gets the handler's result.
TEST(QtWindow, SendsFromAWorkerRunInTheEventLoop) {
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    QObject receiver;
    std::thread::id ranOn;
    platform::HWND h = platform::RegisterQtWindow(
        &receiver, [&](uint32_t msg, platform::WPARAM, platform::LPARAM) {
            ranOn = std::this_thread::get_id();
            return static_cast<platform::LRESULT>(msg + 1);
        });
    std::atomic<bool> done{false};
    platform::LRESULT result = 0;
    std::thread worker([&] {
        result = platform::SendMessage(h, 1536, 0, 0);
        done = true;
    });
    // processEvents does not wait for an event, so poll until the send is served.
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(done.load()) << "the send was never served";
    worker.join();
    EXPECT_EQ(result, 1537);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(platform::SendMessage(h, 1, 0, 0), 2) << "same thread: called directly";
    platform::DestroyWindow(h);
}

} // namespace
