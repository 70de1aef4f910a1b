#pragma once
// Chains of named asynchronous steps. A step starts some work and later resolves or rejects its
// own node; the chain then hands the outcome on to the next node. A rejection skips the ordinary
// steps and reaches the failure handlers with the result and the name of the step that failed.
// Everything here runs on the thread that calls it (the GUI thread); nothing blocks or waits.
#include "protocol/DongleResult.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace OX {

class Promise;

// Shared handle to one node of a chain. Copies share the node.
class Defer {
public:
    using Step = std::function<void(Defer&)>;
    using FailFunction = std::function<void(DongleResult, QString)>;
    using Function = std::function<void()>;

    Defer() = default;
    explicit Defer(std::shared_ptr<Promise> node)
        : m_node(std::move(node))
    {
    }

    // Each add returns the handle to which the next step is to be added.
    Defer then(const Step& step, const QString& name = QString()) const;
    Defer then(const Step& step, const FailFunction& onReject, const QString& name) const;
    Defer fail(const FailFunction& onReject, const QString& name = QString()) const;
    Defer always(const Function& fn, const QString& name = QString()) const;
    Defer finally(const FailFunction& fn, const QString& name = QString()) const;
    // Splices the whole chain holding other in right after this node; returns its last node.
    Defer join(const Defer& other) const;

    // The same adds with the name first.
    Defer then(const QString& name, const Step& step) const { return then(step, name); }
    Defer fail(const QString& name, const FailFunction& onReject) const { return fail(onReject, name); }
    Defer always(const QString& name, const Function& fn) const { return always(fn, name); }
    Defer finally(const QString& name, const FailFunction& fn) const { return finally(fn, name); }

    // Settle the node (only a pending node changes).
    void resolve() const;
    void reject(const DongleResult& result) const;

    Promise* get() const { return m_node.get(); }
    Promise* operator->() const { return m_node.get(); }
    Promise& operator*() const { return *m_node; }
    explicit operator bool() const { return bool(m_node); }
    long use_count() const { return m_node.use_count(); }
    const std::shared_ptr<Promise>& node() const { return m_node; }

    friend bool operator==(const Defer& a, const Defer& b) { return a.m_node == b.m_node; }
    friend bool operator!=(const Defer& a, const Defer& b) { return a.m_node != b.m_node; }

private:
    Defer add(std::shared_ptr<Promise> n) const;

    std::shared_ptr<Promise> m_node;
};

// Runs one side of a node's functions. own: the owning node; previous: the node just settled.
class PromiseCaller {
public:
    virtual ~PromiseCaller() = default;
    virtual Defer call(Defer& own, Promise* previous) = 0;
};

class ResolveCaller : public PromiseCaller {
public:
    explicit ResolveCaller(Defer::Step step)
        : m_step(std::move(step))
    {
    }
    Defer call(Defer& own, Promise* previous) override;

private:
    Defer::Step m_step;
};

class RejectCaller : public PromiseCaller {
public:
    explicit RejectCaller(Defer::FailFunction fn)
        : m_fn(std::move(fn))
    {
    }
    Defer call(Defer& own, Promise* previous) override;

private:
    Defer::FailFunction m_fn;
};

class BypassCaller : public PromiseCaller {
public:
    explicit BypassCaller(Defer::Function fn)
        : m_fn(std::move(fn))
    {
    }
    Defer call(Defer& own, Promise* previous) override;

private:
    Defer::Function m_fn;
};

// Thrown by a step to reject its node; what() gives the result in its string form.
class PromiseResult : public std::exception {
public:
    explicit PromiseResult(const DongleResult& result);
    const char* what() const noexcept override;
    const DongleResult& result() const { return m_result; }

private:
    DongleResult m_result;
    QByteArray m_what;
};

// One node of a chain; always held through Defer handles.
class Promise {
public:
    enum State { Pending = 0, Resolved = 1, Rejected = 2, HandedOn = 3 };

    explicit Promise(const QString& name);
    ~Promise();
    Promise(const Promise&) = delete;
    Promise& operator=(const Promise&) = delete;

    // Makes a pending node, runs step with its handle at once (exceptions become code 10).
    static Defer create(const Defer::Step& step, const QString& name = QString());
    static Defer create(const QString& name, const Defer::Step& step) { return create(step, name); }
    // A node that is already resolved: every step attached to it runs at once.
    static Defer createResolved(const QString& name = QString());

    void resolve();
    void reject(const DongleResult& result);

    int state() const { return m_state; }
    bool isPending() const { return m_state == Pending; }
    const DongleResult& result() const { return m_result; }
    const QString& failedStep() const { return m_failedStep; }
    const QString& name() const { return m_name; }
    Defer next() const { return Defer(m_next); }
    Defer previous() const { return Defer(m_previous.lock()); }

    // Number of nodes alive in the process (for leak checks).
    static int liveNodes();

private:
    friend class Defer;
    friend class ResolveCaller;
    friend class RejectCaller;
    friend class BypassCaller;

    static std::shared_ptr<Promise> makeNode(const QString& name);
    static Defer propagate(const std::shared_ptr<Promise>& p);
    static void unlink(const std::shared_ptr<Promise>& p);
    static void spliceAfter(const std::shared_ptr<Promise>& at, const std::shared_ptr<Promise>& member);
    // Runs fn; any exception rejects node with code 10.
    static void guarded(const std::shared_ptr<Promise>& node, const std::function<void()>& fn);

    std::shared_ptr<Promise> m_next;
    std::weak_ptr<Promise> m_previous; // weak: a finished or abandoned chain is released
    std::unique_ptr<PromiseCaller> m_resolveCaller;
    std::unique_ptr<PromiseCaller> m_rejectCaller;
    int m_state = Pending;
    DongleResult m_result;
    QString m_failedStep;
    QString m_name;
    int m_settledAs = Pending; // the outcome handed on (Resolved or Rejected)
    std::weak_ptr<Promise> m_self;

    static std::atomic<int> s_live;
};

} // namespace OX

class PostponeImpl;

// Calls fn on the creating thread after a delay slept on a thread of its own.
class Postpone {
public:
    Postpone() = default;
    Postpone(const QString& name, double seconds, std::function<void()> fn);

    QString toString() const;
    PostponeImpl* get() const { return m_impl.get(); }
    explicit operator bool() const { return bool(m_impl); }

    // Number of delay objects alive in the process (for leak checks).
    static int liveObjects();

private:
    friend class PostponeImpl;
    explicit Postpone(std::shared_ptr<PostponeImpl> impl)
        : m_impl(std::move(impl))
    {
    }
    std::shared_ptr<PostponeImpl> m_impl;
};

class PostponeImpl : public QThread {
    Q_OBJECT
public:
    ~PostponeImpl() override;

    static std::shared_ptr<PostponeImpl> make(const QString& name, double seconds, std::function<void()> fn);
    QString toString() const;

signals:
    void done();

private slots:
    void onDone();

protected:
    void run() override;

private:
    PostponeImpl(const QString& name, double seconds, std::function<void()> fn);

    QString m_name;
    double m_seconds;
    std::function<void()> m_fn;
    std::shared_ptr<PostponeImpl> m_self; // keeps the object alive until fn has run
    std::weak_ptr<PostponeImpl> m_weak;
    bool m_inSlot = false;
    std::mutex m_exitLock;
    std::condition_variable m_exitCondition;
    bool m_exited = false; // run() has returned its last statement
    void joinWorker();
};
