// Built only with AddressSanitizer: a normal quit of the development executable reports no leak
// of the libraries it draws with. Mesa's GL modules stay mapped so that the leak checker can name
// what they still hold at exit, and the project's leak suppressions (which name only system and
// Qt libraries, never code of ours) apply even when LSAN_OPTIONS does not give them.
#include "LeakSuppressions.h"
#include "tools/sanitizers/MesaModules.h"

extern "C" const char* __lsan_default_suppressions()
{
    return kLeakSuppressions;
}

__attribute__((constructor)) static void pinMesaModulesAtStart()
{
    sanitizers::pinMesaModules();
}
