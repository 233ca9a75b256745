// The program's start-up and shutdown around the calculator window, in
// steps that tests can run one by one.
#pragma once

#include "calculator/common/command_registry.h"

#include <functional>

namespace calculator {

class CCalculatorDlg;

// What main prints on stderr, before exiting with 1, when no display exists.
extern const char kNoDisplayMessage[];

// Whether a window can be shown: DISPLAY or WAYLAND_DISPLAY is set, or a Qt
// platform plugin is chosen with QT_QPA_PLATFORM. Arguments are the
// variables' values, null (or empty) when unset.
bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* qpaPlatform);

// Start-up before the window: the help file path, the clipboard formats, the
// settings root "Pellacor", the application name "Ordovane", the first-run
// key container set-up and the tools' commands.
void InitializeApplication();

// What the program hands the tools: the calculator window's application
// crypto context.
ToolServices ApplicationToolServices();

// Each tool folder registers the commands it serves (part of
// InitializeApplication; window tests call it on its own).
void RegisterCommands(const ToolServices& services);

// Reads "General" "Error Flag" and writes 1. Returns true when the flag was
// set, that is when the previous run did not return from its window.
bool BeginCalculatorRun();

// Writes "General" "Error Flag" 0.
void EndCalculatorRun();

// The whole sequence: InitializeApplication, BeginCalculatorRun, the
// calculator window constructed and run modally, EndCalculatorRun.
// beforeExec sees the window before its loop starts (tests use it to drive
// and close the window). Returns the process's exit code.
int RunApplication(const std::function<void(CCalculatorDlg&)>& beforeExec = {});

} // namespace calculator
