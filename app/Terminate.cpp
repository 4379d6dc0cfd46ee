// How Qarvel ends when an exception escapes (it catches none; running out of memory is the one
// it can meet). The library's default handler writes the exception's type, demangled, to the
// standard error stream, which a window program does not have, and brings a demangler and the
// C library's formatted printing for it: a quarter of Qarvel.exe. This one ends the program
// the same way, by abort, without the words.

#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler();

[[noreturn]] void __verbose_terminate_handler()
{
    std::abort();
}

} // namespace __gnu_cxx
