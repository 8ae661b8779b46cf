#pragma once
// The last resort: what happens when a failure escapes everything (std::terminate).

namespace tavora {

// A failure that nothing could handle ends the process at once with this code, without a word:
// the state is unknown, so nothing more is shown or closed. It is not 0, so that whoever started
// the program can tell this end from every regular one; 3 is the code the C runtime's abort
// gives on Windows.
inline constexpr int kLastResortExitCode = 3;

// Installs the last resort as the terminate handler; the first thing the program does.
void InstallLastResort() noexcept;

}  // namespace tavora
