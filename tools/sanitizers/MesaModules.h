#pragma once
// Mesa's software GL modules are unloaded at exit with allocations of their own still held; the
// leak checker can name them (and its suppressions skip them) only while they stay mapped.
// Programs that draw with GL under the leak checker keep them mapped for the whole run.
#include <dlfcn.h>

namespace sanitizers
{

inline void pinMesaModules()
{
    const char* modules[] = { "libGLX_mesa.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so",
        "/usr/lib/x86_64-linux-gnu/dri/kms_swrast_dri.so" };
    for (const char* module : modules)
        dlopen(module, RTLD_LAZY | RTLD_NODELETE);
}

} // namespace sanitizers
