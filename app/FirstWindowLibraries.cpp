#include "app/FirstWindowLibraries.h"

#include <QGuiApplication>
#include <QImageReader>

#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace
{

bool isUnset(const char* value)
{
    return !value || !*value;
}

bool exists(const std::string& file)
{
    return ::access(file.c_str(), R_OK) == 0;
}

// Mesa's GLX library is loaded as the GL dispatcher loads it (lazily), the driver beside it as
// Mesa's loader does (all symbols now, globally), so that neither is loaded again in another way
// when the window is created. The handles stay open: the window's GL keeps both loaded for the
// rest of the run. A missing file only means that the window loads what it needs itself.
void loadMesaDriver()
{
    void* glx = dlopen("libGLX_mesa.so.0", RTLD_LAZY);
    if (!glx)
        return;
    char libDir[PATH_MAX] = {};
    if (dlinfo(glx, RTLD_DI_ORIGIN, libDir) != 0)
        return;
    const std::string driver = FirstWindowLibraries::mesaDriver(libDir);
    if (!driver.empty())
        dlopen(driver.c_str(), RTLD_NOW | RTLD_GLOBAL);
}

} // namespace

bool FirstWindowLibraries::wanted()
{
    const QByteArray platform = QGuiApplication::platformName().toUtf8();
    return usesMesaGlx(platform.constData(), std::getenv("QT_XCB_GL_INTEGRATION"),
        std::getenv("__GLX_VENDOR_LIBRARY_NAME"), std::getenv("LIBGL_DRIVERS_PATH"));
}

void FirstWindowLibraries::load()
{
    QImageReader::supportedImageFormats();
    loadMesaDriver();
}

bool FirstWindowLibraries::usesMesaGlx(
    const char* platform, const char* glIntegration, const char* glxVendor, const char* driversPath)
{
    const bool xcb = isUnset(platform) || std::strncmp(platform, "xcb", 3) == 0;
    const bool glx = isUnset(glIntegration) || std::strcmp(glIntegration, "xcb_glx") == 0;
    const bool mesa = isUnset(glxVendor) || std::strcmp(glxVendor, "mesa") == 0;
    return xcb && glx && mesa && isUnset(driversPath);
}

std::string FirstWindowLibraries::mesaDriver(const std::string& libDir)
{
    if (libDir.empty() || exists(libDir + "/libGLX_nvidia.so.0"))
        return {};
    const std::string driver = libDir + "/dri/swrast_dri.so";
    return exists(driver) ? driver : std::string();
}
