#pragma once
// The application-wide OpenGL context that the web views and the 3D views share, created when the
// first of them is built instead of with the application object: starting does not create a GL
// context that the first window does not draw with.
namespace OX::SharedGlContext
{

// Before the application object is created: registers the shared context, not yet created. Without
// this call the web engine creates the shared context with the application object, as usual.
void defer();

// Creates the registered context when it was deferred and is not created yet; nothing otherwise.
// Called before building a web view or a 3D view.
void ensure();

} // namespace OX::SharedGlContext
