// Trims the statically linked GCC runtime to what the module uses. Defining these here keeps the
// linker from pulling the runtime's own versions, and with them the symbol demangler, every standard
// exception class and a second (copy-on-write) string implementation: about 150 KB of a DLL whose
// own code is a few KB.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {

// The default terminate handler prints the exception's demangled type. Nothing in the module lets
// an exception escape, so reaching terminate is a bug that the host should see as a plain abort.
void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

// A string that cannot grow (length or logic errors) is treated like one that cannot get memory:
// the command frame catches std::bad_alloc and answers the empty text.
void __throw_bad_alloc()
{
    throw std::bad_alloc();
}

void __throw_length_error(const char*)
{
    throw std::bad_alloc();
}

void __throw_logic_error(const char*)
{
    throw std::bad_alloc();
}

void __throw_out_of_range_fmt(const char*, ...)
{
    throw std::bad_alloc();
}

} // namespace std
