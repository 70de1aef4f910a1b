#include "async/Promise.h"

#include <QDebug>
#include <QPointer>

#include <chrono>
#include <cmath>

namespace OX {

std::atomic<int> Promise::s_live { 0 };

// ---------------------------------------------------------------- PromiseResult

PromiseResult::PromiseResult(const DongleResult& result)
    : m_result(result)
    , m_what(result.toStringHelper().toUtf8())
{
}

const char* PromiseResult::what() const noexcept
{
    return m_what.constData();
}

// ---------------------------------------------------------------- Promise

Promise::Promise(const QString& name)
    : m_name(name)
{
    ++s_live;
}

Promise::~Promise()
{
    --s_live;
}

int Promise::liveNodes()
{
    return s_live.load();
}

std::shared_ptr<Promise> Promise::makeNode(const QString& name)
{
    auto node = std::make_shared<Promise>(name);
    node->m_self = node;
    return node;
}

Defer Promise::create(const Defer::Step& step, const QString& name)
{
    auto node = Promise::makeNode(name);
    Defer handle(node);
    guarded(node, [&]() {
        Defer own(node);
        step(own);
    });
    return handle;
}

Defer Promise::createResolved(const QString& name)
{
    auto node = Promise::makeNode(name);
    node->m_state = Resolved;
    return Defer(node);
}

void Promise::resolve()
{
    if (m_state != Pending)
        return;
    m_state = Resolved;
    if (auto self = m_self.lock())
        propagate(self);
}

void Promise::reject(const DongleResult& result)
{
    if (m_state != Pending)
        return;
    m_state = Rejected;
    m_result = result;
    if (m_failedStep.isEmpty())
        m_failedStep = m_name;
    if (auto self = m_self.lock())
        propagate(self);
}

void Promise::guarded(const std::shared_ptr<Promise>& node, const std::function<void()>& fn)
{
    bool failed = false;
    QString detail;
    try {
        fn();
    } catch (const std::exception& e) {
        failed = true;
        detail = QString::fromLocal8Bit(e.what());
    } catch (...) {
        failed = true;
    }
    // Rejected outside the handler, so that the steps this starts run outside it too.
    if (failed && node && node->m_state == Pending) {
        if (node->m_failedStep.isEmpty())
            node->m_failedStep = node->m_name;
        node->reject(DongleResult(DongleResult::Exception, detail));
    }
}

void Promise::unlink(const std::shared_ptr<Promise>& p)
{
    auto next = p->m_next;
    auto previous = p->m_previous.lock();
    if (next)
        next->m_previous = previous;
    if (previous)
        previous->m_next = next;
    p->m_next.reset();
    p->m_previous.reset();
}

// Joins the whole chain holding member (first to last) right after node at.
void Promise::spliceAfter(const std::shared_ptr<Promise>& at, const std::shared_ptr<Promise>& member)
{
    std::shared_ptr<Promise> first = member;
    while (auto prev = first->m_previous.lock())
        first = prev;
    std::shared_ptr<Promise> last = member;
    while (last->m_next)
        last = last->m_next;

    // A chain cannot be spliced into itself.
    for (auto n = first; n; n = n->m_next) {
        if (n == at) {
            qWarning().noquote() << "Promise chain: cannot join a chain into itself";
            return;
        }
    }

    auto oldNext = at->m_next;
    first->m_previous = at;
    at->m_next = first;
    last->m_next = oldNext;
    if (oldNext)
        oldNext->m_previous = last;
}

Defer Promise::propagate(const std::shared_ptr<Promise>& p)
{
    if (!p->m_next)
        return Defer();
    if (p->m_state == Pending)
        return Defer(p->m_next);

    if (p->m_state == Resolved || p->m_state == Rejected) {
        const bool resolved = p->m_state == Resolved;
        p->m_settledAs = p->m_state;
        p->m_state = HandedOn;

        std::shared_ptr<Promise> n = p->m_next;
        // Each caller runs at most once: both are taken out of the node before either runs.
        std::unique_ptr<PromiseCaller> resolveCaller = std::move(n->m_resolveCaller);
        std::unique_ptr<PromiseCaller> rejectCaller = std::move(n->m_rejectCaller);
        Defer own(n);
        Defer r;
        if (resolved) {
            if (resolveCaller) {
                r = resolveCaller->call(own, p.get());
            } else {
                if (n->m_state == Pending)
                    n->m_state = Resolved;
                r = own;
            }
        } else {
            if (rejectCaller) {
                r = rejectCaller->call(own, p.get());
            } else {
                if (n->m_state == Pending) {
                    n->m_state = Rejected;
                    n->m_result = p->m_result;
                    if (n->m_failedStep.isEmpty())
                        n->m_failedStep = p->m_failedStep;
                }
                r = own;
            }
        }
        if (r && r.node() != n)
            spliceAfter(n, r.node());
        resolveCaller.reset();
        rejectCaller.reset();
        if (r)
            propagate(r.node());
    }

    if (p->m_state == HandedOn) {
        Defer former(p->m_next);
        unlink(p);
        return former;
    }
    return Defer();
}

// ---------------------------------------------------------------- callers

Defer ResolveCaller::call(Defer& own, Promise*)
{
    auto node = own.node();
    Promise::guarded(node, [&]() {
        Defer handle(node);
        m_step(handle);
    });
    return own;
}

Defer RejectCaller::call(Defer& own, Promise* previous)
{
    auto node = own.node();
    const DongleResult result = previous->m_result;
    const QString failed = previous->m_failedStep;
    node->m_failedStep = failed;
    Promise::guarded(node, [&]() { m_fn(result, failed); });
    node->reject(result);
    return own;
}

Defer BypassCaller::call(Defer& own, Promise* previous)
{
    auto node = own.node();
    const int outcome = previous->m_settledAs;
    const DongleResult result = previous->m_result;
    Promise::guarded(node, [&]() { m_fn(); });
    if (node->m_state == Promise::Pending) {
        if (outcome == Promise::Rejected) {
            node->m_failedStep = node->m_name;
            node->reject(result);
        } else {
            node->resolve();
        }
    }
    return own;
}

// ---------------------------------------------------------------- Defer

Defer Defer::add(std::shared_ptr<Promise> n) const
{
    if (!m_node) {
        qWarning().noquote() << "Promise chain: step" << n->m_name << "added to an empty handle";
        return Defer();
    }
    const std::shared_ptr<Promise> p = m_node; // kept alive while the chain runs
    auto oldNext = p->m_next;
    n->m_previous = p;
    n->m_next = oldNext;
    if (oldNext)
        oldNext->m_previous = n;
    p->m_next = n;
    return Promise::propagate(p);
}

Defer Defer::then(const Step& step, const QString& name) const
{
    auto n = Promise::makeNode(name);
    n->m_resolveCaller = std::make_unique<ResolveCaller>(step);
    return add(n);
}

Defer Defer::then(const Step& step, const FailFunction& onReject, const QString& name) const
{
    auto n = Promise::makeNode(name);
    n->m_resolveCaller = std::make_unique<ResolveCaller>(step);
    n->m_rejectCaller = std::make_unique<RejectCaller>(onReject);
    return add(n);
}

Defer Defer::fail(const FailFunction& onReject, const QString& name) const
{
    auto n = Promise::makeNode(name);
    n->m_rejectCaller = std::make_unique<RejectCaller>(onReject);
    return add(n);
}

Defer Defer::always(const Function& fn, const QString& name) const
{
    auto n = Promise::makeNode(name);
    n->m_resolveCaller = std::make_unique<BypassCaller>(fn);
    n->m_rejectCaller = std::make_unique<BypassCaller>(fn);
    return add(n);
}

Defer Defer::finally(const FailFunction& fn, const QString& name) const
{
    auto n = Promise::makeNode(name);
    // On success fn gets code 0 and this node's own name; the node itself stays pending.
    std::weak_ptr<Promise> weak = n;
    n->m_resolveCaller = std::make_unique<ResolveCaller>([fn, weak](Defer&) {
        auto self = weak.lock();
        fn(DongleResult(), self ? self->name() : QString());
    });
    n->m_rejectCaller = std::make_unique<RejectCaller>(fn);
    return add(n);
}

Defer Defer::join(const Defer& other) const
{
    if (!m_node || !other.m_node)
        return *this;
    std::shared_ptr<Promise> last = other.m_node;
    while (last->m_next)
        last = last->m_next;
    const std::shared_ptr<Promise> p = m_node;
    const auto nextBefore = p->m_next;
    Promise::spliceAfter(p, other.m_node);
    if (p->m_next == nextBefore)
        return *this; // nothing was joined
    Promise::propagate(p);
    return Defer(last);
}

void Defer::resolve() const
{
    if (m_node)
        m_node->resolve();
}

void Defer::reject(const DongleResult& result) const
{
    if (m_node)
        m_node->reject(result);
}

} // namespace OX

// ---------------------------------------------------------------- Postpone

static std::atomic<int> s_postponeLive { 0 };

Postpone::Postpone(const QString& name, double seconds, std::function<void()> fn)
    : m_impl(PostponeImpl::make(name, seconds, std::move(fn)))
{
}

QString Postpone::toString() const
{
    return m_impl ? m_impl->toString() : QStringLiteral("Postpone class[]: refs 0");
}

int Postpone::liveObjects()
{
    return s_postponeLive.load();
}

PostponeImpl::PostponeImpl(const QString& name, double seconds, std::function<void()> fn)
    : m_name(name)
    , m_seconds(seconds)
    , m_fn(std::move(fn))
{
    ++s_postponeLive;
    setObjectName(name);
}

PostponeImpl::~PostponeImpl()
{
    --s_postponeLive;
}

std::shared_ptr<PostponeImpl> PostponeImpl::make(const QString& name, double seconds, std::function<void()> fn)
{
    // The object is never destroyed while its thread runs: the last handle first joins the
    // thread (which has emitted done by then, or never started), then the object goes through
    // its own thread's event loop.
    std::shared_ptr<PostponeImpl> impl(new PostponeImpl(name, seconds, std::move(fn)), [](PostponeImpl* p) {
        p->joinWorker();
        if (p->thread() != QThread::currentThread() || p->m_inSlot)
            p->deleteLater(); // not from inside its own slot, nor from a foreign thread
        else
            delete p;
    });
    impl->m_weak = impl;
    impl->m_self = impl;
    qDebug().noquote().nospace() << "Postpone class[" << name << "]: construct";
    connect(impl.get(), &PostponeImpl::done, impl.get(), &PostponeImpl::onDone, Qt::AutoConnection);
    impl->start(QThread::InheritPriority);
    return impl;
}

QString PostponeImpl::toString() const
{
    return QStringLiteral("Postpone class[%1]: refs %2").arg(m_name).arg(m_weak.use_count());
}

void PostponeImpl::run()
{
    const double scaled = m_seconds * 1000000.0;
    const unsigned long usecs = scaled > 0 ? static_cast<unsigned long>(std::llround(scaled)) : 0;
    qDebug().noquote().nospace() << "Postpone class[" << m_name << "]: start waiting ... (" << m_seconds
                                 << " secs => " << usecs << " usecs)";
    if (usecs > 0)
        QThread::usleep(usecs);
    qDebug().noquote().nospace() << "Postpone class[" << m_name << "]: exit " << toString();
    emit done();
    std::lock_guard<std::mutex> locker(m_exitLock);
    m_exited = true;
    m_exitCondition.notify_all();
}

void PostponeImpl::joinWorker()
{
    // Joined through a standard lock first, so that tools that cannot see into QThread also
    // see the worker's end ordered before the object's destruction.
    {
        std::unique_lock<std::mutex> locker(m_exitLock);
        while (!m_exited) {
            if (m_exitCondition.wait_for(locker, std::chrono::milliseconds(100)) == std::cv_status::timeout
                && isFinished())
                break;
        }
    }
    wait();
}

void PostponeImpl::onDone()
{
    qDebug().noquote().nospace() << "Postpone class[" << m_name << "]: fire";
    if (m_fn) {
        m_fn();
    } else {
        qWarning().noquote().nospace() << "Postpone class[" << m_name << "]: no function to call";
    }
    qDebug().noquote().nospace() << "Postpone class[" << m_name << "]: done " << toString();
    // Dropping the own handle may release the object (through its deleter, deferred).
    // Released through deleteLater when this was the last handle, so the object outlives this call.
    m_inSlot = true;
    auto self = std::move(m_self);
    self.reset();
    m_inSlot = false;
}
