// The LINK module's requests over the emulated radio: what each sends, which replies it
// believes, what it stores, and that a Link deleted mid-request is left alone.
#include "test_headset_fixture.h"

#include <atomic>
#include <cstring>

using namespace devtest;

namespace {

LPP lppFromBytes(QByteArray const& bytes)
{
    return LPP(PacketData(bytes));
}

} // namespace

TEST(LinkValue, ConstructorsCopyAndEquality)
{
    QCommandLineParser parser;
    Dongle dongle(nullptr, nullptr, parser);

    NPP npp;
    npp.product = ProductID::Link;
    npp.versionMajor = 1;
    npp.versionMinor = 11;
    npp.versionFix = 5;
    npp.build = 88;
    memcpy(npp.serial, "LK19000442", 10);
    npp.revision = 156;
    npp.pan = 0x1234;
    npp.address = 3;
    Link fromNpp(dongle, npp);
    EXPECT_EQ(fromNpp.pan(), 0x1234);
    EXPECT_EQ(fromNpp.address(), 3);
    EXPECT_EQ(fromNpp.version(), DongleVersion(1, 11, 5, 88));
    EXPECT_EQ(fromNpp.revision(), 156);
    EXPECT_EQ(fromNpp.serial(), QStringLiteral("LK19000442"));
    EXPECT_EQ(fromNpp.parameters(), LPP());
    EXPECT_FALSE(fromNpp.isActive());

    Link bare(dongle, 0x1234, 3);
    EXPECT_EQ(bare.version(), DongleVersion());
    EXPECT_EQ(bare.revision(), 0);
    EXPECT_TRUE(bare.serial().isEmpty());
    EXPECT_TRUE(bare.isEqual(fromNpp));
    EXPECT_FALSE(bare.isEqual(Link(dongle, 0x1234, 4)));
    EXPECT_FALSE(bare.isEqual(Link(dongle, 0x1235, 3)));

    fromNpp.setActive(true);
    fromNpp.parameters().angleForward = 77;
    Link copy(fromNpp, nullptr);
    EXPECT_EQ(copy.serial(), fromNpp.serial());
    EXPECT_EQ(copy.version(), fromNpp.version());
    EXPECT_EQ(copy.parameters(), fromNpp.parameters());
    EXPECT_TRUE(copy.isActive());
    EXPECT_EQ(&copy.dongle(), &dongle);

    bare.updateFrom(copy);
    EXPECT_EQ(bare.serial(), QStringLiteral("LK19000442"));
    EXPECT_EQ(bare.parameters().angleForward, 77);
    EXPECT_TRUE(bare.isActive());
    EXPECT_EQ(bare.address(), 3); // the identity on the network is its own
}

TEST(LinkValue, TextAndVersionWord)
{
    QCommandLineParser parser;
    Dongle dongle(nullptr, nullptr, parser);
    Link link(dongle, 0x1234, 3);
    const QString text = link.toString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("LINK<"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("> {\n\tversion:0.0.0 - (0)\n\trevision: 0\n\tserial:\n\tPAN:4660\n"
                                             "\taddress:3\n\tactive:no\n}")))
            << text.toStdString();

    EXPECT_EQ(Link::versionFromWord(0x45, 0x0B), DongleVersion(1, 11, 5, 0));
    EXPECT_EQ(Link::versionFromWord(0xFF, 0xFF), DongleVersion(3, 255, 63, 0));
    EXPECT_EQ(Link::versionFromWord(0x00, 0x00), DongleVersion(0, 0, 0, 0));
}

class LinkTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        index = emulator->addLink();
        ASSERT_TRUE(startDongle());
        link = std::make_unique<Link>(*dongle, 0x1234, 3);
    }
    void TearDown() override
    {
        link.reset();
        DeviceTest::TearDown();
    }

    // Ahead of the answer to the first LCP request with command cmd, a stray LCP reply with
    // payload arrives from src. The flag tells that it was sent.
    std::shared_ptr<std::atomic<bool>> strayReplyBefore(uchar cmd, uint16_t src, QByteArray const& payload)
    {
        auto injected = std::make_shared<std::atomic<bool>>(false);
        emu::Emulator* e = emulator.get();
        emulator->setRequestHook([e, injected, cmd, src, payload](emu::Frame const& f) {
            if (f.pid == emu::pid::LCP && f.cmd() == cmd && !injected->exchange(true))
                e->injectFrame(replyFrame(f, emu::pid::LCP, src, payload));
            return false;
        });
        return injected;
    }

    int index = -1;
    std::unique_ptr<Link> link;
};

TEST_F(LinkTest, VersionWordAndProtocol)
{
    bool done = false;
    DongleVersion version;
    int code = -1;
    link->queryVersion([&](DongleVersion* v, DongleResult r) {
        if (v)
            version = *v;
        code = r.code;
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(version, DongleVersion(1, 11, 5, 0)); // lsb 0x45, msb 0x0B
    EXPECT_EQ(link->version(), DongleVersion());   // not stored

    done = false;
    quint8 revision = 0;
    link->queryProtocol([&](quint8 value, DongleResult r) {
        revision = value;
        code = r.code;
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(revision, 156);

    auto request = emulator->waitForFrame(emu::FrameFilter::of(emu::pid::LCP, 6), testutil::scaled(100));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->frame.pan, 0x1234);
    EXPECT_EQ(request->frame.src, 4); // the dongle's own address
    EXPECT_EQ(request->frame.dst, 3);
}

TEST_F(LinkTest, StateSetsTheActiveFlagAndATimeOutLeavesIt)
{
    QList<int> states;
    QList<int> codes;
    auto ask = [&] {
        const int before = codes.size();
        link->queryState([&](LCPActive::State state, DongleResult r) {
            states << int(state);
            codes << r.code;
        });
        return testutil::waitUntil([&] { return codes.size() > before; }, 3000);
    };
    emulator->updateLink(index, [](emu::LinkModel& l) { l.active = true; });
    ASSERT_TRUE(ask());
    EXPECT_TRUE(link->isActive());
    emulator->updateLink(index, [](emu::LinkModel& l) { l.active = false; });
    ASSERT_TRUE(ask());
    EXPECT_FALSE(link->isActive());
    emulator->updateLink(index, [](emu::LinkModel& l) { l.active = true; });
    ASSERT_TRUE(ask());
    EXPECT_TRUE(link->isActive());

    fastTiming(0.03);
    emulator->updateLink(index, [](emu::LinkModel& l) { l.answering = false; });
    ASSERT_TRUE(ask());
    EXPECT_EQ(states, (QList<int> { 1, 0, 1, 2 }));
    EXPECT_EQ(codes, (QList<int> { 0, 0, 0, 4 }));
    EXPECT_TRUE(link->isActive()); // a failure stores nothing
}

TEST_F(LinkTest, AnotherLinksLateRepliesAreNotThisLinksAnswers)
{
    // A state reply from the LINK at 5 arrives first; only the one from 3 counts.
    auto injected = strayReplyBefore(7, 5, emu::scpBytes(7, 0, 1));
    int state = -1;
    link->queryState([&](LCPActive::State s, DongleResult) { state = int(s); });
    ASSERT_TRUE(testutil::waitUntil([&] { return state != -1; }, 3000));
    EXPECT_TRUE(injected->load());
    EXPECT_EQ(state, 0);
    EXPECT_FALSE(link->isActive());

    // Nor does the LINK at 5 leaving service mode does not take this silent one out of it.
    fastTiming(0.03);
    emulator->updateLink(index, [](emu::LinkModel& l) { l.answering = false; });
    injected = strayReplyBefore(101, 5, emu::scpBytes(101, 0, 0));
    int code = -1;
    link->exitServiceMode([&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_TRUE(injected->load());
    EXPECT_EQ(code, 4);
}

TEST_F(LinkTest, IdentityIsCopiedOnlyWhenAsked)
{
    bool done = false;
    QString serial;
    int product = 0;
    link->queryNPP(
            [&](NPP* npp, DongleResult r) {
                ASSERT_EQ(r.code, 0);
                ASSERT_NE(npp, nullptr);
                serial = npp->getSerialNumber();
                product = int(npp->product);
                done = true;
            },
            false);
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(serial, QStringLiteral("LK19000442"));
    EXPECT_EQ(product, 3);
    EXPECT_TRUE(link->serial().isEmpty());
    EXPECT_EQ(link->version(), DongleVersion());
    EXPECT_EQ(link->revision(), 0);

    done = false;
    link->queryNPP([&](NPP*, DongleResult) { done = true; }, true);
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(link->serial(), QStringLiteral("LK19000442"));
    EXPECT_EQ(link->version(), DongleVersion(1, 11, 5, 88));
    EXPECT_EQ(link->revision(), 156);
    // The identity reply also reached the delegate as a found device.
    EXPECT_FALSE(delegate.devices.isEmpty());
}

TEST_F(LinkTest, AHeadsetsOrAnotherLinksIdentityIsNotTaken)
{
    auto injected = std::make_shared<std::atomic<int>>(0);
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e, injected](emu::Frame const& f) {
        if (f.pid == emu::pid::LCP && f.cmd() == 97 && injected->fetch_add(1) == 0) {
            emu::Identity headset;
            headset.product = 1;
            headset.serial = "HS21000321";
            headset.pan = 0x1234;
            headset.address = 3;
            e->injectFrame(replyFrame(f, emu::pid::NPP, 3, headset.encode()));
            emu::Identity other;
            other.product = 3;
            other.serial = "LK99999999";
            other.pan = 0x1234;
            other.address = 5;
            e->injectFrame(replyFrame(f, emu::pid::NPP, 5, other.encode()));
        }
        return false;
    });
    bool done = false;
    link->queryNPP([&](NPP*, DongleResult r) {
        EXPECT_EQ(r.code, 0);
        done = true;
    },
                   true);
    ASSERT_TRUE(waitFor(done));
    EXPECT_GT(injected->load(), 0);
    EXPECT_EQ(link->serial(), QStringLiteral("LK19000442"));
}

TEST_F(LinkTest, ParametersPointAtTheLinksOwnRecord)
{
    const QByteArray expected = emulator->link(index).parameters;
    bool done = false;
    LPP* got = nullptr;
    link->queryParameters([&](LPP* p, DongleResult r) {
        EXPECT_EQ(r.code, 0);
        got = p;
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(got, &link->parameters());
    EXPECT_EQ(link->parameters(), lppFromBytes(expected));
    EXPECT_EQ(link->parameters().getData().bytes(), expected);
}

TEST_F(LinkTest, ApplyStoresWhatTheLinkSendsBack)
{
    emulator->updateLink(index, [](emu::LinkModel& l) { l.clamp = emu::LinkModel::angleClamp(40); });
    LPP sent = lppFromBytes(emulator->link(index).parameters);
    sent.angleForward = 80;
    sent.angleLeft = 30;
    bool done = false;
    LPP* got = nullptr;
    int code = -1;
    link->applyParameters(sent, [&](LPP* p, DongleResult r) {
        got = p;
        code = r.code;
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(got, &link->parameters());
    EXPECT_EQ(link->parameters().angleForward, 40); // limited by the LINK
    EXPECT_EQ(link->parameters().angleLeft, 30);
    EXPECT_NE(link->parameters(), sent);
    auto request = emulator->waitForFrame(emu::FrameFilter::of(emu::pid::LPP), testutil::scaled(100));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->frame.payload, sent.getData().bytes());
    EXPECT_EQ(request->frame.dst, 3);
}

TEST_F(LinkTest, AnotherNetworksLinkAtTheSameAddressIsNotThisOne)
{
    // Another chair's LINK, also at 3, answers on its own network just ahead of this one.
    QByteArray theirs = emulator->link(index).parameters;
    theirs[0] = char(quint8(theirs[0]) + 10);
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e, theirs](emu::Frame const& f) {
        emu::Frame stray = replyFrame(f, f.cmd() == 100 ? emu::pid::LPP : emu::pid::LCP, 3,
            f.cmd() == 100 ? theirs : emu::scpBytes(7, 0, 1));
        stray.pan = 0x4321;
        if (f.pid == emu::pid::LCP)
            e->injectFrame(stray);
        return false;
    });
    bool done = false;
    link->queryParameters([&](LPP*, DongleResult) { done = true; });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(link->parameters().getData().bytes(), emulator->link(index).parameters);
    int state = -1;
    link->queryState([&](LCPActive::State s, DongleResult) { state = int(s); });
    ASSERT_TRUE(testutil::waitUntil([&] { return state != -1; }, 3000));
    EXPECT_EQ(state, 0);
}

TEST_F(LinkTest, ACutParameterRecordIsAnInvalidResponse)
{
    const LPP before = link->parameters();
    emu::Emulator* e = emulator.get();
    emulator->setRequestHook([e](emu::Frame const& f) {
        if (f.pid == emu::pid::LCP && f.cmd() == 100) {
            e->injectFrame(replyFrame(f, emu::pid::LPP, 3, QByteArray(10, char(0x55))));
            return true;
        }
        return false;
    });
    bool done = false;
    LPP* got = reinterpret_cast<LPP*>(1);
    int code = -1;
    link->queryParameters([&](LPP* p, DongleResult r) {
        got = p;
        code = r.code;
        done = true;
    });
    ASSERT_TRUE(waitFor(done));
    EXPECT_EQ(code, 2);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(link->parameters(), before);
}

TEST_F(LinkTest, AReplyWithAnotherCommandDoesNotCompleteTheRequest)
{
    emulator->updateLink(index, [](emu::LinkModel& l) { l.serviceMode = true; });
    auto injected = strayReplyBefore(15, 3, emu::scpBytes(2, 0, 0));
    int calls = 0;
    bool inService = false;
    int code = -1;
    link->queryServiceMode([&](bool on, DongleResult r) {
        ++calls;
        inService = on;
        code = r.code;
    });
    ASSERT_TRUE(testutil::waitUntil([&] { return calls > 0; }, 3000));
    testutil::spin(50);
    EXPECT_TRUE(injected->load());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(inService); // the lsb 0 of the stray reply was not taken
}

TEST_F(LinkTest, ExitServiceModeUsesTheServicePanAndBootloaderTheReplyFlag)
{
    emulator->updateLink(index, [](emu::LinkModel& l) { l.serviceMode = true; });
    Link other(*dongle, 0x7777, 3); // its own PAN does not matter
    int code = -1;
    other.exitServiceMode([&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
    auto request = emulator->waitForFrame(emu::FrameFilter::of(emu::pid::LCP, 101), testutil::scaled(100));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->frame.pan, 1);
    EXPECT_EQ(request->frame.dst, 3);
    EXPECT_FALSE(emulator->link(index).serviceMode);

    code = -1;
    link->startBootloader([&](DongleResult r) { code = r.code; });
    ASSERT_TRUE(testutil::waitUntil([&] { return code != -1; }, 3000));
    EXPECT_EQ(code, 0);
}

TEST_F(LinkTest, ACompletionAfterTheLinkWasDeletedStillReachesTheCallback)
{
    // A page's temporary Link goes away while its requests are in flight.
    emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::LPP), 100, -1));
    emulator->addFault(emu::FaultRule::delayReply(emu::FrameFilter::of(emu::pid::LCP, 7), 100, -1));
    auto* temporary = new Link(*dongle, 0x1234, 3);
    QList<int> codes;
    LPP received;
    temporary->queryParameters([&](LPP* p, DongleResult r) {
        codes << r.code;
        if (p)
            received = *p;
    });
    temporary->applyParameters(lppFromBytes(emu::LinkModel::defaultParameters()),
        [&](LPP* p, DongleResult r) { codes << (p ? r.code : -r.code); });
    temporary->queryState(
        [&](LCPActive::State s, DongleResult r) { codes << (s == LCPActive::Inactive ? r.code : 99); });
    temporary->queryNPP([&](NPP* npp, DongleResult r) { codes << (npp ? r.code : -1); }, true);
    delete temporary;
    ASSERT_TRUE(testutil::waitUntil([&] { return codes.size() == 4; }, 5000));
    EXPECT_EQ(codes, (QList<int> { 0, 0, 0, 0 }));
    EXPECT_EQ(received, lppFromBytes(emu::LinkModel::defaultParameters()));
}
