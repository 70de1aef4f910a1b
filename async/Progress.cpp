#include "async/Progress.h"

namespace Progress {

Delegate::~Delegate() = default;

Context::Context(Delegate* d)
    : delegate(d)
{
}

Context::~Context() = default;

void Context::start(const QString& newTitle, Flags newFlags)
{
    steps.clear();
    stepKeys.clear();
    title = newTitle;
    message = QString(); // no message (null), not an empty one
    flags = newFlags;
    value = 0.0;
    if (newFlags.testFlag(Infinite))
        notify();
}

void Context::clear()
{
    steps.clear();
    stepKeys.clear();
    currentStep.clear();
    title.clear();
    message.clear();
    flags = None;
    value = 0.0;
    notify();
}

void Context::setTitle(const QString& t)
{
    title = t;
    notify();
}

void Context::setMessage(const QString& m)
{
    message = m;
    notify();
}

void Context::setFlags(Flags f)
{
    flags = f;
    notify();
}

void Context::setProgress(double v)
{
    value = v;
    notify();
}

void Context::notify()
{
    if (delegate)
        delegate->progressUpdate(*this);
}

} // namespace Progress
