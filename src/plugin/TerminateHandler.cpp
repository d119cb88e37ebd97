#include <cstdlib>

// The runtime's default handler for an exception that escapes everything
// prints the exception's demangled type to stderr, which a plug-in inside a
// GUI client does not have; it brings the whole C++ demangler into the DLL.
// Linked into the DLL itself so that it replaces the runtime's before the
// archives are searched.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
