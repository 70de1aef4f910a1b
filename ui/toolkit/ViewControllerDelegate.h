#pragma once
// Told by a view controller when one of its sub-views, named by its identifier, is about to
// appear, has appeared, is about to disappear and has disappeared.
#include <QString>

namespace OX
{

class ViewControllerDelegate
{
public:
    virtual ~ViewControllerDelegate() = default;
    virtual void viewWillAppear(const QString& identifier) = 0;
    virtual void viewDidAppear(const QString& identifier) = 0;
    virtual void viewWillDisappear(const QString& identifier) = 0;
    virtual void viewDidDisappear(const QString& identifier) = 0;
};

} // namespace OX
