#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

TEST(Window, SameThreadSendRunsTheHandlerDirectly) {
    platform::HWND h =
        platform::RegisterWindow([](uint32_t msg, platform::WPARAM w, platform::LPARAM l) {
            return static_cast<platform::LRESULT>(msg + w + l);
        });
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(platform::IsWindow(h));
    EXPECT_EQ(platform::SendMessage(h, 1535, 2, 3), 1540);
    EXPECT_TRUE(platform::DestroyWindow(h));
    EXPECT_FALSE(platform::IsWindow(h));
    EXPECT_FALSE(platform::DestroyWindow(h));
    EXPECT_EQ(platform::SendMessage(h, 1, 0, 0), 0);
    EXPECT_FALSE(platform::IsWindow(0));
}

// A worker's send blocks until the receiver's thread has handled it, and the
// handler runs on that thread.
TEST(Window, CrossThreadSendRunsOnTheReceiversThreadAndBlocks) {
    const std::thread::id ui = std::this_thread::get_id();
    std::thread::id ranOn;
    platform::HWND h =
        platform::RegisterWindow([&](uint32_t msg, platform::WPARAM, platform::LPARAM) {
            ranOn = std::this_thread::get_id();
            return static_cast<platform::LRESULT>(msg * 2);
        });
    std::atomic<int> returned{0};
    platform::LRESULT result = 0;
    std::thread worker([&] {
        result = platform::SendMessage(h, 21, 0, 0);
        returned = 1;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(returned.load(), 0) << "the sender must wait for the receiver";
    int served = 0;
    for (int i = 0; i < 100 && returned.load() == 0; ++i)
        served += platform::WaitForMessages(20ms);
    worker.join();
    EXPECT_EQ(served, 1);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(ranOn, ui);
    platform::DestroyWindow(h);
}

TEST(Window, SendsFromManyThreadsAreAllServed) {
    std::atomic<int> sum{0};
    platform::HWND h =
        platform::RegisterWindow([&](uint32_t msg, platform::WPARAM, platform::LPARAM) {
            sum += static_cast<int>(msg);
            return platform::LRESULT{1};
        });
    std::atomic<int> finished{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 1; i <= 50; ++i)
                platform::SendMessage(h, static_cast<uint32_t>(i), 0, 0);
            ++finished;
        });
    while (finished.load() < 4)
        platform::WaitForMessages(5ms);
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(sum.load(), 4 * 1275);
    platform::DestroyWindow(h);
}

TEST(Window, DispatcherReceiversServeThroughTheirOwnLoop) {
    std::atomic<int> dispatched{0};
    platform::HWND h = platform::RegisterWindow(
        [](uint32_t msg, platform::WPARAM, platform::LPARAM) {
            return static_cast<platform::LRESULT>(msg);
        },
        [&](const std::function<void()>& task) {
            ++dispatched;
            task();
        });
    platform::LRESULT r = 0;
    std::thread([&] { r = platform::SendMessage(h, 7, 0, 0); }).join();
    EXPECT_EQ(r, 7);
    EXPECT_EQ(dispatched.load(), 1);
    platform::DestroyWindow(h);
}

// A receiver that goes away without pumping must not leave its sender hanging.
TEST(Window, SenderIsReleasedWhenTheReceiverIsDestroyed) {
    platform::HWND h = platform::RegisterWindow(
        [](uint32_t, platform::WPARAM, platform::LPARAM) { return platform::LRESULT{99}; });
    std::atomic<bool> done{false};
    platform::LRESULT r = -1;
    std::thread worker([&] {
        r = platform::SendMessage(h, 1, 0, 0);
        done = true;
    });
    std::this_thread::sleep_for(30ms);
    platform::DestroyWindow(h);
    worker.join();
    EXPECT_TRUE(done.load());
    EXPECT_EQ(r, 0);
    EXPECT_EQ(platform::PumpMessages(), 0) << "the abandoned send was withdrawn";
}

} // namespace
