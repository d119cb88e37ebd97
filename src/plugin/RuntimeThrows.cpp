#include <exception>
#include <new>

// The runtime throws its errors through these functions. Its own versions
// build std::logic_error and std::system_error with a message, and those
// keep their message in the old copy-on-write string, a second string
// implementation of about 60 KB that nothing else of the DLL needs. Linked
// into the DLL itself, so that they replace the runtime's before the
// archives are searched. A request for more memory than there is, or than a
// container can hold, still throws std::bad_alloc, which the plug-in
// handles; the rest are faults of the program and end as any other
// exception does, at the entry points' catch-all.
namespace {

class RuntimeFault : public std::exception {
public:
    const char* what() const noexcept override { return "runtime fault"; }
};

}  // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_alloc(); }
void __throw_bad_cast() { throw RuntimeFault(); }
void __throw_bad_typeid() { throw RuntimeFault(); }
void __throw_bad_exception() { throw RuntimeFault(); }
void __throw_logic_error(const char*) { throw RuntimeFault(); }
void __throw_domain_error(const char*) { throw RuntimeFault(); }
void __throw_invalid_argument(const char*) { throw RuntimeFault(); }
void __throw_out_of_range(const char*) { throw RuntimeFault(); }
void __throw_out_of_range_fmt(const char*, ...) { throw RuntimeFault(); }
void __throw_runtime_error(const char*) { throw RuntimeFault(); }
void __throw_range_error(const char*) { throw RuntimeFault(); }
void __throw_overflow_error(const char*) { throw RuntimeFault(); }
void __throw_underflow_error(const char*) { throw RuntimeFault(); }
void __throw_system_error(int) { throw RuntimeFault(); }

}  // namespace std
