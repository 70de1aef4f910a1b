#pragma once
// The main window can draw with GL (the 3D view and Help's web view need it), so creating it
// loads the system's GL driver; Mesa's, with the compiler it brings, is the largest library of
// a start. It is loaded on a thread of its own while the director and its windows are built,
// after the image formats' plugins that the windows ask for first, so that the window finds
// both already loaded. The process loads one library at a time, and starts no thread while one
// loads: whatever the interface asks to load or start meanwhile waits, which is why this starts
// once the application object (with its own plugins) exists and the threads the first window
// starts have started (Startup's applicationCreated).
#include <string>

namespace FirstWindowLibraries
{

// Whether the first window will load Mesa's driver through GLX on X; needs the application
// object.
bool wanted();
// Loads the image formats' plugins, then Mesa's GLX library and driver where they are; meant
// for a thread of its own.
void load();

// Whether the first window draws through Mesa's GLX on X: false where another platform (Qt's
// platform name), GL integration, GLX vendor or driver folder is chosen.
bool usesMesaGlx(
    const char* platform, const char* glIntegration, const char* glxVendor, const char* driversPath);
// The software rasteriser's driver in the driver folder beside Mesa's GLX library (libDir);
// empty where there is none, or where NVIDIA's own GL lies beside it (its X server would take
// that instead). Mesa's drivers are one file under several names, so this one serves whichever
// name Mesa picks for the graphics card.
std::string mesaDriver(const std::string& libDir);

} // namespace FirstWindowLibraries
