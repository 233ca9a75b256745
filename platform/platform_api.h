// Export marker of the shared platform module.
#pragma once

#if defined(_WIN32)
#define PLATFORM_API __declspec(dllexport)
#else
#define PLATFORM_API __attribute__((visibility("default")))
#endif
