#include "platform/window/window.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace platform {
namespace {

// One cross-thread send waiting for its receiver.
struct Send {
    std::function<LRESULT()> call;
    std::mutex lock;
    std::condition_variable doneSignal;
    bool done = false;
    LRESULT result = 0;

    void Finish(LRESULT r) {
        std::lock_guard<std::mutex> g(lock);
        result = r;
        done = true;
        doneSignal.notify_all();
    }
};

// The sends waiting for the receivers of one thread.
struct ThreadQueue {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<std::shared_ptr<Send>> sends;
};

struct Window {
    MessageHandler handler;
    Dispatcher dispatcher;
    std::thread::id owner;
    std::shared_ptr<ThreadQueue> queue;
};

struct Table {
    std::mutex lock;
    std::unordered_map<HWND, std::shared_ptr<Window>> windows;
    HWND next = 0x10000;
};

Table& table() {
    static Table* t = new Table; // outlives every thread's last send
    return *t;
}

// The calling thread's queue, kept alive by the thread and its windows.
std::shared_ptr<ThreadQueue> CurrentQueue() {
    thread_local std::shared_ptr<ThreadQueue> mine = std::make_shared<ThreadQueue>();
    return mine;
}

HWND Register(MessageHandler handler, Dispatcher dispatcher) {
    auto w = std::make_shared<Window>();
    w->handler = std::move(handler);
    w->dispatcher = std::move(dispatcher);
    w->owner = std::this_thread::get_id();
    w->queue = CurrentQueue();
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    for (uint32_t tries = 0; tries < 0x100000; ++tries) {
        HWND h = t.next++;
        if (t.next == 0)
            t.next = 0x10000;
        if (h != 0 && !t.windows.count(h)) {
            t.windows.emplace(h, std::move(w));
            return h;
        }
    }
    return 0;
}

std::shared_ptr<Window> Find(HWND h) {
    Table& t = table();
    std::lock_guard<std::mutex> g(t.lock);
    auto it = t.windows.find(h);
    return it == t.windows.end() ? nullptr : it->second;
}

int ServeQueue(ThreadQueue& q) {
    int served = 0;
    for (;;) {
        std::shared_ptr<Send> s;
        {
            std::lock_guard<std::mutex> g(q.lock);
            if (q.sends.empty())
                return served;
            s = std::move(q.sends.front());
            q.sends.pop_front();
        }
        s->Finish(s->call());
        ++served;
    }
}

} // namespace

HWND RegisterWindow(MessageHandler handler) {
    return Register(std::move(handler), nullptr);
}

HWND RegisterWindow(MessageHandler handler, Dispatcher dispatcher) {
    return Register(std::move(handler), std::move(dispatcher));
}

bool DestroyWindow(HWND window) {
    std::shared_ptr<Window> w;
    {
        Table& t = table();
        std::lock_guard<std::mutex> g(t.lock);
        auto it = t.windows.find(window);
        if (it == t.windows.end())
            return false;
        w = std::move(it->second);
        t.windows.erase(it);
    }
    return true;
}

bool IsWindow(HWND window) {
    return window != 0 && Find(window) != nullptr;
}

LRESULT SendMessage(HWND window, uint32_t msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<Window> w = Find(window);
    if (!w)
        return 0;
    auto call = [window, msg, wParam, lParam]() -> LRESULT {
        // Looked up again on the receiver's thread: it may have gone meanwhile.
        std::shared_ptr<Window> target = Find(window);
        return target ? target->handler(msg, wParam, lParam) : 0;
    };
    if (w->owner == std::this_thread::get_id())
        return call();
    if (w->dispatcher) {
        LRESULT result = 0;
        w->dispatcher([&] { result = call(); });
        return result;
    }
    auto s = std::make_shared<Send>();
    s->call = call;
    {
        std::lock_guard<std::mutex> g(w->queue->lock);
        w->queue->sends.push_back(s);
    }
    w->queue->arrived.notify_all();
    std::unique_lock<std::mutex> g(s->lock);
    // A receiver destroyed while we wait no longer pumps for us: give up then.
    while (!s->done) {
        if (s->doneSignal.wait_for(g, std::chrono::milliseconds(50), [&] { return s->done; }))
            break;
        if (!IsWindow(window)) {
            g.unlock();
            std::lock_guard<std::mutex> qg(w->queue->lock);
            auto& q = w->queue->sends;
            for (auto it = q.begin(); it != q.end(); ++it)
                if (*it == s) {
                    q.erase(it);
                    return 0;
                }
            g.lock(); // already taken by the receiver: it finishes soon
        }
    }
    return s->result;
}

int PumpMessages() {
    return ServeQueue(*CurrentQueue());
}

int WaitForMessages(std::chrono::milliseconds timeout) {
    std::shared_ptr<ThreadQueue> q = CurrentQueue();
    {
        std::unique_lock<std::mutex> g(q->lock);
        q->arrived.wait_for(g, timeout, [&] { return !q->sends.empty(); });
    }
    return ServeQueue(*q);
}

} // namespace platform
