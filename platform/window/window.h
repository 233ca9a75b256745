// Window handles and synchronous messages in place of the operating
// system's: a receiver registers a handler and gets a 32-bit handle (never a
// pointer, since the automation interface passes handles as long).
// SendMessage runs the handler on the receiver's thread and returns its
// result, blocking the sender until then. A receiver's thread serves sends
// from other threads while it pumps (PumpMessages / WaitForMessages), or
// through a dispatcher of its own (a GUI event loop supplies one).
#pragma once

#include "platform/platform_api.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

using HWND = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

using MessageHandler = std::function<LRESULT(uint32_t msg, WPARAM wParam, LPARAM lParam)>;

// Runs a task on the receiver's thread and returns once it has run. Used for
// receivers whose thread runs another event loop.
using Dispatcher = std::function<void(const std::function<void()>& task)>;

// Registers a receiver owned by the calling thread; 0 when no handle is left.
PLATFORM_API HWND RegisterWindow(MessageHandler handler);
// Registers a receiver whose sends from other threads go through dispatcher.
PLATFORM_API HWND RegisterWindow(MessageHandler handler, Dispatcher dispatcher);
// Removes the receiver; senders still waiting on it return 0. Returns false
// for an unknown handle.
PLATFORM_API bool DestroyWindow(HWND window);
PLATFORM_API bool IsWindow(HWND window);

// Runs the handler on the receiver's thread with the message; 0 when the
// handle is not a window (or it goes away before the handler runs).
PLATFORM_API LRESULT SendMessage(HWND window, uint32_t msg, WPARAM wParam, LPARAM lParam);

// Serves the sends queued for the calling thread's receivers; returns how
// many ran.
PLATFORM_API int PumpMessages();
// Waits up to timeout for a send to arrive, serves what is queued and
// returns how many ran.
PLATFORM_API int WaitForMessages(std::chrono::milliseconds timeout);

} // namespace platform
