#pragma once
// The application-wide OpenGL context that the web views share, created when the first of them is
// built instead of with the application object: starting does not create a GL context that the
// first window does not draw with.
//
// Qt's public way, Qt::AA_ShareOpenGLContexts alone, makes that context with the application
// object. Measured with bench_startup (Release, Xvfb with software GL, load about 9.6 on 8
// cores): 122 ms to the first window deferred against 144-148 ms with the public attribute
// (empty Qt application 81-95 ms). Nothing public defers the context, hence Qt's own
// registration function.
#include <functional>

namespace OX::SharedGlContext
{

// Before the application object is created: registers the shared context, not yet created. Without
// this call the web engine creates the shared context with the application object, as usual.
void defer();

// Before the application object is created. Where windows are drawn by Mesa's software rasteriser
// (no graphics card, a virtual machine, a remote display), it draws on the calling thread instead
// of waking a thread per core for every frame: the 3D views here are small, and at the headset's
// 20 updates a second those wake-ups cost more than they save. Measured with bench_status_page
// (Release, Xvfb, load under 3 on 8 cores): the status page with the stream on took 3.9 % of a
// core with the rasteriser's threads, 2.95 % without. The rasteriser reads its setting
// (LP_NUM_THREADS) once per process, when the windowing first loads the GL driver (the first
// window) or, failing that, when the first GL context is made: the setting is in the environment
// until the first window exists and again while withSoftwareGlSetting makes the first context,
// never after, so that the programs this one starts (the on-screen keyboard, the maintenance
// tool, the web engine's helpers) do not inherit it. A value the user set is kept, and inherited
// as the user meant; other drivers do not read it.
void drawSoftwareGlOnCallingThread();

// Runs make, which makes a GL context. The first call after drawSoftwareGlOnCallingThread runs
// it with the rasteriser's setting in the environment and takes the setting out again after;
// every other call just runs make. Returns what make returns.
bool withSoftwareGlSetting(const std::function<bool()>& make);

// Creates the registered context when it was deferred and is not created yet; nothing otherwise.
// Called before building a web view.
void ensure();

} // namespace OX::SharedGlContext
