// A GUI program has no console for the name of an uncaught exception, and the library's verbose
// terminate handler pulls a 45 KB demangler into the exe to print it. Ending at once is all that
// is left to do at that point, so replace the handler.
#if defined(__GNUC__) && defined(_WIN32)
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
