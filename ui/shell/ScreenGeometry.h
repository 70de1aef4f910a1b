#pragma once
// Where the screens are, as the toolbar and the crosshair overlay see them. The application
// asks Qt; a test installs its own layout (two screens, a portrait screen) before it builds
// the window under test.
#include <QPoint>
#include <QRect>

#include <functional>

class QObject;

class ScreenGeometry
{
public:
    virtual ~ScreenGeometry() = default;

    // The primary screen's area for windows (without panels) and its whole area.
    virtual QRect primaryAvailable() const;
    virtual QRect primaryGeometry() const;
    // The area for windows of the screen that holds point; the primary screen's when no screen
    // holds it.
    virtual QRect availableAt(const QPoint& point) const;

    // The layout in force: the installed one, else Qt's screens.
    static const ScreenGeometry& current();
    // Test seam: installs layout (not owned; null gives Qt's screens back).
    static void install(const ScreenGeometry* layout);

    // Calls changed, for as long as context lives, whenever the screens may have changed under a
    // window: a screen added or removed, the primary screen changed, or any screen's whole or
    // available area changed (Qt tells of these one screen at a time).
    static void watchChanges(QObject* context, std::function<void()> changed);
};
