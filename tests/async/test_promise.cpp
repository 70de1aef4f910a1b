#include "async/Promise.h"

#include "common/qt_wait.h"

#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

using OX::Defer;
using OX::Promise;

namespace {

// Settles d on the event loop after ms milliseconds.
void resolveLater(const Defer& d, int ms)
{
    QTimer::singleShot(ms, [d]() { d.resolve(); });
}
void rejectLater(const Defer& d, int ms, int code)
{
    QTimer::singleShot(ms, [d, code]() { d.reject(DongleResult(code)); });
}

struct Outcome {
    bool ran = false;
    DongleResult result;
    QString step;
};

} // namespace

TEST(Promise, FluentChainOfImmediateStepsRunsInWrittenOrderWhileBuilt)
{
    QStringList log;
    Outcome fin;
    {
        Defer d = Promise::create([&](Defer& own) { log << "1"; own.resolve(); }, "1st");
        d = d.then([&](Defer& own) { log << "2"; own.resolve(); }, "2nd");
        EXPECT_EQ(log, QStringList({ "1", "2" }));
        d = d.then([&](Defer& own) { log << "3"; own->resolve(); }, "3rd");
        d.finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "done");
    }
    EXPECT_EQ(log, QStringList({ "1", "2", "3" }));
    EXPECT_TRUE(fin.ran);
    EXPECT_EQ(fin.result.code, 0);
    EXPECT_EQ(fin.step, "done");
}

TEST(Promise, StepsAddedToOnePendingHandleRunInReverseOrder)
{
    QStringList log;
    Defer first = Promise::create([](Defer&) {}, "first");
    first.then([&](Defer& own) { log << "A"; own.resolve(); }, "A");
    first.then([&](Defer& own) { log << "B"; own.resolve(); }, "B");
    EXPECT_TRUE(log.isEmpty());
    first.resolve();
    EXPECT_EQ(log, QStringList({ "B", "A" }));
}

TEST(Promise, AsyncRejectionSkipsToFailAndFinallyWithTheFailedStepName)
{
    QStringList log;
    Outcome failed, fin;
    {
        Defer d = Promise::create([&](Defer& own) { log << "1st"; resolveLater(own, 5); }, "1st");
        d = d.then([&](Defer& own) { log << "2nd"; rejectLater(own, 5, 2); }, "2nd");
        d = d.then([&](Defer& own) { log << "3rd"; own.resolve(); }, "3rd");
        d = d.fail([&](DongleResult r, QString s) { failed = { true, r, s }; }, "fail");
        d.finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "finally");
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return fin.ran; }, 2000));
    EXPECT_EQ(log, QStringList({ "1st", "2nd" }));
    EXPECT_TRUE(failed.ran);
    EXPECT_EQ(failed.result.code, 2);
    EXPECT_EQ(failed.result.text, "Invalid response");
    EXPECT_EQ(failed.step, "2nd");
    EXPECT_EQ(fin.result.code, 2);
    EXPECT_EQ(fin.step, "2nd");
}

TEST(Promise, AsyncSuccessSkipsFailAndFinallyGetsItsOwnName)
{
    Outcome failed, fin;
    {
        Defer d = Promise::create([&](Defer& own) { resolveLater(own, 5); }, "1st");
        d = d.then([&](Defer& own) { resolveLater(own, 5); }, "2nd");
        d = d.then([&](Defer& own) { own.resolve(); }, "3rd");
        d = d.fail([&](DongleResult r, QString s) { failed = { true, r, s }; }, "fail");
        d.finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "Dongle Init");
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return fin.ran; }, 2000));
    EXPECT_FALSE(failed.ran);
    EXPECT_EQ(fin.result.code, 0);
    EXPECT_EQ(fin.result.text, "Ok");
    EXPECT_EQ(fin.step, "Dongle Init");
}

TEST(Promise, ExceptionsBecomeCodeTenRejections)
{
    Outcome fin;
    Promise::create([](Defer&) { throw std::runtime_error("boom"); }, "thrower")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; });
    ASSERT_TRUE(fin.ran);
    EXPECT_EQ(fin.result.code, 10);
    EXPECT_EQ(fin.result.text, "Exception");
    EXPECT_EQ(fin.result.detail, "boom");
    EXPECT_EQ(fin.step, "thrower");

    // A later step that throws something that is not a standard exception: empty detail.
    fin = {};
    QStringList log;
    Promise::createResolved("root")
        .then([](Defer& own) { own.resolve(); }, "ok")
        .then([](Defer&) { throw 42; }, "odd")
        .then([&](Defer& own) { log << "never"; own.resolve(); }, "skipped")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "end");
    ASSERT_TRUE(fin.ran);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(fin.result.code, 10);
    EXPECT_TRUE(fin.result.detail.isEmpty());
    EXPECT_EQ(fin.step, "odd");

    // A thrown promise result is an exception too: code 10, its string form as detail.
    fin = {};
    DongleResult inner(6);
    Promise::create([&](Defer&) { throw OX::PromiseResult(inner); }, "headset")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; });
    EXPECT_EQ(fin.result.code, 10);
    EXPECT_EQ(fin.result.detail, inner.toStringHelper());
    EXPECT_STREQ(OX::PromiseResult(inner).what(), inner.toStringHelper().toUtf8().constData());

    // An empty function object counts as a thrown standard exception.
    fin = {};
    Promise::create(Defer::Step(), "empty").finally([&](DongleResult r, QString s) { fin = { true, r, s }; });
    EXPECT_EQ(fin.result.code, 10);
    EXPECT_EQ(fin.step, "empty");
}

TEST(Promise, ExceptionThrownAfterSettlingIsIgnored)
{
    Outcome fin;
    Promise::create([](Defer& own) { own.resolve(); throw std::runtime_error("late"); }, "s")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "end");
    EXPECT_EQ(fin.result.code, 0);
    EXPECT_EQ(fin.step, "end");
}

TEST(Promise, AlwaysRunsOnBothOutcomesAndRenamesTheFailedStep)
{
    int always = 0;
    Outcome fin;
    Promise::create([](Defer& own) { own.reject(DongleResult(4)); }, "request")
        .always([&]() { ++always; }, "cleanup")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "end");
    EXPECT_EQ(always, 1);
    EXPECT_EQ(fin.result.code, 4);
    EXPECT_EQ(fin.step, "cleanup");

    fin = {};
    Promise::create([](Defer& own) { own.resolve(); }, "request")
        .always([&]() { ++always; }, "cleanup")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "end");
    EXPECT_EQ(always, 2);
    EXPECT_EQ(fin.result.code, 0);
    EXPECT_EQ(fin.step, "end");
}

TEST(Promise, FailFunctionThatThrowsStillReachesFinally)
{
    Outcome fin;
    Promise::create([](Defer& own) { own.reject(DongleResult(2)); }, "first")
        .fail([](DongleResult, QString) { throw std::logic_error("handler"); }, "fail")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "end");
    ASSERT_TRUE(fin.ran);
    EXPECT_EQ(fin.result.code, 10);
    EXPECT_EQ(fin.result.detail, "handler");
    EXPECT_EQ(fin.step, "first");
}

TEST(Promise, TwoFunctionThenRunsOneSide)
{
    QStringList log;
    Outcome fin;
    Promise::create([](Defer& own) { own.reject(DongleResult(8)); }, "a")
        .then([&](Defer& own) { log << "step"; own.resolve(); },
              [&](DongleResult r, QString s) { log << QString("reject %1 %2").arg(r.code).arg(s); }, "b")
        .finally([&](DongleResult r, QString s) { fin = { true, r, s }; });
    EXPECT_EQ(log, QStringList({ "reject 8 a" }));
    EXPECT_EQ(fin.result.code, 8);
    EXPECT_EQ(fin.step, "a");

    log.clear();
    Promise::createResolved("a").then([&](Defer& own) { log << "step"; own.resolve(); },
                                      [&](DongleResult, QString) { log << "reject"; }, "b");
    EXPECT_EQ(log, QStringList({ "step" }));
}

TEST(Promise, CreateResolvedRunsLoopStepsInOrder)
{
    int before = Promise::liveNodes();
    { Defer d = Promise::createResolved("nothing"); } // no steps: nothing happens
    EXPECT_EQ(Promise::liveNodes(), before);

    QStringList log;
    Outcome fin;
    Defer d = Promise::createResolved("root");
    for (int i = 0; i < 5; ++i)
        d = d.then([&log, i](Defer& own) { log << QString::number(i); QTimer::singleShot(1, [own] { own.resolve(); }); },
                   "item");
    d.finally([&](DongleResult r, QString s) { fin = { true, r, s }; }, "done");
    d = Defer();
    ASSERT_TRUE(testutil::waitUntil([&] { return fin.ran; }, 2000));
    EXPECT_EQ(log, QStringList({ "0", "1", "2", "3", "4" }));
    EXPECT_EQ(fin.step, "done");
}

TEST(Promise, HandedOnNodeAcceptsNoFurtherSteps)
{
    bool ran = false;
    Defer root = Promise::createResolved("root");
    Defer next = root.then([](Defer&) {}, "pending");
    EXPECT_EQ(root->state(), Promise::HandedOn);
    root.then([&](Defer& own) { ran = true; own.resolve(); }, "late");
    EXPECT_FALSE(ran);
}

TEST(Promise, SettlingTwiceChangesNothing)
{
    int failures = 0;
    Defer first = Promise::create([](Defer&) {}, "first");
    first.fail([&](DongleResult r, QString) { ++failures; EXPECT_EQ(r.code, 4); }, "fail");
    first.reject(DongleResult(4));
    first.resolve();
    first.reject(DongleResult(2));
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(first->result().code, 4);

    Defer lone = Promise::create([](Defer& own) { own.reject(DongleResult(3)); }, "lone");
    lone.resolve();
    EXPECT_EQ(lone->state(), Promise::Rejected);
    EXPECT_EQ(lone->failedStep(), "lone");
}

TEST(Promise, NameFirstFormsAndResolvingThroughTheHandle)
{
    QStringList log;
    Outcome fin;
    Defer d = Promise::create("Exit service mode", [&](Defer& own) { log << "exit"; own.resolve(); });
    d = d.then("Set headset stream", [&](Defer& own) { log << "stream"; own->reject(DongleResult(6)); });
    d = d.then("Query profile", [&](Defer& own) { log << "profile"; own.resolve(); });
    d.finally("Dongle Init", [&](DongleResult r, QString s) { fin = { true, r, s }; });
    EXPECT_EQ(log, QStringList({ "exit", "stream" }));
    EXPECT_EQ(fin.result.code, 6);
    EXPECT_EQ(fin.step, "Set headset stream");
}

TEST(Promise, JoinSplicesAnotherChain)
{
    QStringList log;
    Defer other = Promise::create([](Defer&) {}, "x");
    Defer otherTail = other.then([&](Defer& own) { log << "y"; own.resolve(); }, "y");

    Defer head = Promise::create([](Defer&) {}, "head");
    Defer tail = head.then([&](Defer& own) { log << "tail"; own.resolve(); }, "tail");
    Defer joined = head.join(other);
    EXPECT_EQ(joined, otherTail);
    EXPECT_EQ(head->next(), other);
    EXPECT_EQ(otherTail->next(), tail);
    EXPECT_EQ(tail->previous(), otherTail);

    head.resolve(); // x has no resolve caller: it takes the resolution on
    EXPECT_EQ(log, QStringList({ "y", "tail" }));

    // Joining a chain into itself is refused.
    Defer a = Promise::create([](Defer&) {}, "a");
    Defer b = a.then([](Defer&) {}, "b");
    EXPECT_EQ(b.join(a), b);
    EXPECT_FALSE(b->next());
}

TEST(Promise, EmptyHandleIsHarmless)
{
    Defer empty;
    EXPECT_FALSE(empty.then([](Defer&) {}, "x"));
    empty.resolve();
    empty.reject(DongleResult(1));
    EXPECT_FALSE(empty.finally([](DongleResult, QString) {}));
}

TEST(Promise, FinishedChainsAreReleased)
{
    const int before = Promise::liveNodes();
    bool done = false;
    {
        Defer d = Promise::create([](Defer& own) { resolveLater(own, 2); }, "1");
        d = d.then([](Defer& own) { resolveLater(own, 2); }, "2");
        d = d.then([](Defer& own) { rejectLater(own, 2, 4); }, "3");
        d = d.always([] {}, "always");
        d.finally([&](DongleResult, QString) { done = true; }, "end");
        EXPECT_GT(Promise::liveNodes(), before);
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return done; }, 2000));
    testutil::spin(5);
    EXPECT_EQ(Promise::liveNodes(), before);
}

TEST(Promise, AbandonedChainIsReleasedWithItsHandles)
{
    const int before = Promise::liveNodes();
    {
        // A step that never settles and keeps no handle: the chain can never run.
        Defer d = Promise::create([](Defer&) {}, "stuck");
        Defer e = d.then([](Defer& own) { own.resolve(); }, "after");
        e.finally([](DongleResult, QString) {});
        EXPECT_EQ(Promise::liveNodes(), before + 3);
    }
    EXPECT_EQ(Promise::liveNodes(), before);
}

TEST(Promise, PendingNodeKeepsTheRestOfItsChainAlive)
{
    const int before = Promise::liveNodes();
    Defer keep;
    bool done = false;
    {
        Defer d = Promise::create([&](Defer& own) { keep = own; }, "waiting");
        d.then([](Defer& own) { own.resolve(); }, "b").finally([&](DongleResult, QString) { done = true; });
    }
    EXPECT_EQ(Promise::liveNodes(), before + 3);
    keep.resolve();
    EXPECT_TRUE(done);
    keep = Defer();
    EXPECT_EQ(Promise::liveNodes(), before);
}

TEST(Promise, ThousandChainsLeaveNoNodeAlive)
{
    const int before = Promise::liveNodes();
    int finished = 0;
    for (int i = 0; i < 1000; ++i) {
        Promise::create([](Defer& own) { resolveLater(own, 0); }, "a")
            .then([i](Defer& own) { if (i % 2) own.reject(DongleResult(4)); else resolveLater(own, 0); }, "b")
            .fail([](DongleResult, QString) {}, "f")
            .finally([&](DongleResult, QString) { ++finished; }, "end");
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return finished == 1000; }, 5000));
    testutil::spin(5);
    EXPECT_EQ(Promise::liveNodes(), before);
}

TEST(Postpone, CallsOnTheCreatingThreadAfterTheDelayAndIsReleased)
{
    const int before = Postpone::liveObjects();
    QThread* callThread = nullptr;
    bool called = false;
    {
        Postpone p("delay", 0.02, [&] { called = true; callThread = QThread::currentThread(); });
        EXPECT_EQ(p.toString(), "Postpone class[delay]: refs 2");
        EXPECT_EQ(p.get()->objectName(), "delay");
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return called; }, 2000));
    EXPECT_EQ(callThread, QThread::currentThread());
    ASSERT_TRUE(testutil::waitUntil([&] { return Postpone::liveObjects() == before; }, 2000));
}

TEST(Postpone, ManyShortDelaysNeverDestroyARunningThread)
{
    const int before = Postpone::liveObjects();
    int calls = 0;
    QList<Postpone> kept;
    for (int i = 0; i < 50; ++i) {
        Postpone p("burst", 0.0, [&] { ++calls; });
        if (i % 2)
            kept << p; // some outlive their call, some do not
    }
    ASSERT_TRUE(testutil::waitUntil([&] { return calls == 50; }, 5000));
    kept.clear();
    ASSERT_TRUE(testutil::waitUntil([&] { return Postpone::liveObjects() == before; }, 2000));
}
