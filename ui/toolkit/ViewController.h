#pragma once
// A widget that shows one of several sub-views named by identifiers and tells its delegate when
// one appears or disappears. The base has no sub-views: it behaves as one view named by its
// object name. A disabled sub-view is never made active.
#include "device/DongleDelegate.h"

#include <QWidget>

class Headset;

namespace OX
{

class ViewControllerDelegate;

class ViewController : public QWidget
{
    Q_OBJECT
public:
    explicit ViewController(QWidget* parent = nullptr);

    virtual bool activateFirst();
    virtual QString getFirstIdentifier() const;
    virtual bool activateLast();
    virtual QString getLastIdentifier() const;
    // The base tells the delegate (when set) that the view appears, and succeeds.
    virtual bool setActive(const QString& identifier);
    virtual QString getActiveIdentifier() const;
    using QWidget::setEnabled;
    virtual void setEnabled(const QString& identifier, bool enabled);
    using QWidget::isEnabled;
    virtual bool isEnabled(const QString& identifier) const;
    virtual void updateWithHeadset(Headset* headset, HeadsetChangeMask mask);
    virtual void retranslate();

    // Not owned; the owner assigns it.
    ViewControllerDelegate* delegate = nullptr;

protected:
    // A style-sheet background applies to the controller.
    void paintEvent(QPaintEvent* event) override;
};

} // namespace OX
