#include "shell/terminate_handler.h"

#include <cstdlib>
#include <exception>

namespace tavora {

namespace {

[[noreturn]] void EndAtOnce() noexcept { std::_Exit(kLastResortExitCode); }

}  // namespace

void InstallLastResort() noexcept { std::set_terminate(EndAtOnce); }

}  // namespace tavora

// libstdc++'s own default handler demangles the type of an uncaught exception for a message on
// stderr, which a GUI program does not have; its demangler alone is a sixth of the program.
// Defining it here, beside the handler that start-up installs, keeps that code out of the
// program. It ends the process the same way, for a failure before the handler is installed.
namespace __gnu_cxx {

void __verbose_terminate_handler() { tavora::EndAtOnce(); }

}  // namespace __gnu_cxx
