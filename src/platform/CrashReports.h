#pragma once

#include <string>
#include <string_view>

namespace corvela {

// Crash reports: the folder they are kept in, the handler that writes one when the program
// dies of a signal, and the names the problem report reads them by.

// Every report's file name begins with this.
inline constexpr std::string_view kCrashReportPrefix = "Corvela";

// $XDG_STATE_HOME/corvela/crashes, or ~/.local/state/corvela/crashes when XDG_STATE_HOME is
// unset or not absolute; "" when neither it nor HOME is set.
std::string crashReportFolder();

// From now on, a SIGSEGV, SIGBUS, SIGILL, SIGFPE or SIGABRT writes
// "<folder>/Corvela-<seconds since 1970>-<pid>.crash" (the folder and its parents made as
// needed, mode 0700) before the program dies of the signal as it would have: the program and
// `version`, the signal, and the backtrace of the thread that crashed, under "Thread 0
// Crashed::". The handler only makes system calls that are safe inside a signal handler.
// Called once, early in main; a folder longer than the handler's buffer installs nothing.
void installCrashReporter(std::string_view folder, std::string_view version);

}  // namespace corvela
