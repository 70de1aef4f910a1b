#include "app/ProfileManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A manager whose store only counts, and a dongle stand-in whose uploads the test completes.
class CountingManager : public ProfileManager {
public:
    CountingManager()
        : ProfileManager(nullptr)
    {
        QObject::connect(this, &ProfileManager::selectedProfileChangedSignal, [this]() { ++selectionSignals; });
    }
    void load() override { ++loads; }
    void sync() override { ++syncs; }

    void connectFakeDongle()
    {
        setProfileWriter([this]() { return connected; },
                         [this](const MouseProfile& profile, Completion done) {
                             uploads.push_back({ std::make_unique<MouseProfile>(profile), std::move(done) });
                         });
    }
    // Completes the oldest pending upload.
    void finish(int code)
    {
        ASSERT_FALSE(uploads.empty());
        Upload upload = std::move(uploads.front());
        uploads.erase(uploads.begin());
        upload.done(DongleResult(code));
    }

    struct Upload {
        std::unique_ptr<MouseProfile> profile;
        Completion done;
    };
    std::vector<Upload> uploads;
    bool connected = true;
    int loads = 0;
    int syncs = 0;
    int selectionSignals = 0;
};

MouseProfile named(const QString& name, float speed = 0.5f)
{
    MouseProfile p(name, MouseProfile::Normal);
    p.setMouseSpeedPercent(speed);
    return p;
}

struct Done {
    int calls = 0;
    int code = -1;
    DongleResult last;
    ProfileManager::Completion callback()
    {
        return [this](DongleResult r) {
            ++calls;
            code = r.code;
            last = r;
        };
    }
};

} // namespace

TEST(ProfileManagerList, AddRefusesNamesDifferingOnlyInCase)
{
    CountingManager m;
    EXPECT_EQ(m.selectedIndex(), -1);
    EXPECT_TRUE(m.addProfile(MouseProfile::Normal));
    EXPECT_EQ(m.syncs, 1);
    EXPECT_FALSE(m.addProfile(named("normal")));
    EXPECT_FALSE(m.addProfile(named("NORMAL")));
    EXPECT_EQ(m.syncs, 1);
    EXPECT_EQ(m.profileCount(), 1);
    EXPECT_FALSE(m.profileNameExists("normal"));
    EXPECT_TRUE(m.profileNameExists("Normal"));
    EXPECT_EQ(m.profileName("normal"), "normal");
    EXPECT_EQ(m.indexOf("nOrMaL"), 0);
    EXPECT_EQ(m.indexOf("Other"), -1);
    // The first profile of an empty list becomes the selection.
    EXPECT_EQ(m.selectedIndex(), 0);
}

TEST(ProfileManagerList, ProfileNameCountsUp)
{
    CountingManager m;
    m.addProfile(named("Profile 1"));
    EXPECT_EQ(m.profileName("Profile"), "Profile");
    m.addProfile(named("Profile"));
    EXPECT_EQ(m.profileName("Profile"), "Profile 2");
    m.addProfile(named("Profile 2"));
    m.addProfile(named("Profile 4"));
    EXPECT_EQ(m.profileName("Profile"), "Profile 3");
    EXPECT_EQ(m.profileName(""), "");
    // A name may hold what looks like a placeholder: it stays as typed.
    m.addProfile(named("Speed %1"));
    EXPECT_EQ(m.profileName("Speed %1"), "Speed %1 1");
    m.addProfile(named("%2"));
    EXPECT_EQ(m.profileName("%2"), "%2 1");
}

TEST(ProfileManagerList, RemovalMovesTheSelection)
{
    CountingManager m;
    for (const char* n : { "A", "B", "C", "D" })
        m.addProfile(named(n));
    ASSERT_TRUE(m.setSelectedProfile("c"));
    EXPECT_EQ(m.selectedIndex(), 2);

    // After the selected one: nothing moves.
    EXPECT_TRUE(m.removeProfile("D"));
    EXPECT_EQ(m.selectedProfile()->name(), "C");
    // Before it: the same profile stays selected.
    EXPECT_TRUE(m.removeProfile("a"));
    EXPECT_EQ(m.selectedIndex(), 1);
    EXPECT_EQ(m.selectedProfile()->name(), "C");
    // The selected one: the first profile is selected.
    EXPECT_TRUE(m.removeProfile("C"));
    EXPECT_EQ(m.selectedIndex(), 0);
    EXPECT_EQ(m.selectedProfile()->name(), "B");
    EXPECT_FALSE(m.removeProfile("C"));
    const int syncs = m.syncs;

    // The last one: an empty list, no selection, and still a profile for anyone who asks.
    EXPECT_TRUE(m.removeProfile("B"));
    EXPECT_EQ(m.syncs, syncs + 1);
    EXPECT_EQ(m.profileCount(), 0);
    EXPECT_EQ(m.selectedIndex(), -1);
    EXPECT_FALSE(m.hasSelectedProfile());
    MouseProfile* placeholder = m.selectedProfile();
    ASSERT_NE(placeholder, nullptr);
    EXPECT_TRUE(placeholder->isEqual(MouseProfile(nullptr), true));
    placeholder->setProfileName("scribble");
    placeholder->setTremorFilter(0.9f);
    EXPECT_TRUE(m.selectedProfile()->isEqual(MouseProfile(nullptr), true));
    EXPECT_EQ(m.profileCount(), 0);
}

TEST(ProfileManagerList, NamesAndObjectsSurviveInsertionsAndRemovals)
{
    CountingManager m;
    for (int i = 0; i < 6; ++i)
        m.addProfile(named(QString("P%1").arg(i), 0.1f * i));
    MouseProfile* p4 = nullptr;
    ASSERT_EQ(m.lookUp("p4", &p4), 4);
    m.removeProfile("P1");
    m.removeProfile("P0");
    m.addProfile(named("New"));
    m.removeProfile("P3");
    EXPECT_EQ(m.profileNames(), QStringList({ "P2", "P4", "P5", "New" }));
    // Every profile kept its own name and its own settings.
    for (int i : { 2, 4, 5 }) {
        MouseProfile* p = nullptr;
        ASSERT_NE(m.lookUp(QString("P%1").arg(i), &p), -1);
        EXPECT_FLOAT_EQ(p->mouseSpeedPercent(), 0.1f * i) << i;
    }
    // A listed profile stays the same object while others come and go.
    EXPECT_EQ(m.profileAt(1), p4);
    EXPECT_EQ(p4->name(), "P4");
    EXPECT_EQ(m.profileAt(7), nullptr);
    EXPECT_EQ(m.profileAt(-1), nullptr);
    EXPECT_EQ(m.lookUp("none", &p4), -1);
    EXPECT_EQ(m.lookUp("P5", nullptr), 2);
}

TEST(ProfileManagerList, Rename)
{
    CountingManager m;
    m.addProfile(named("Work"));
    m.addProfile(named("Home"));
    const int syncs = m.syncs;
    EXPECT_FALSE(m.renameProfile("Work", "home")); // taken, ignoring case
    EXPECT_FALSE(m.renameProfile("Work", "  "));
    EXPECT_FALSE(m.renameProfile("Gone", "Other"));
    EXPECT_EQ(m.syncs, syncs);
    EXPECT_TRUE(m.renameProfile("work", "WORK")); // its own name in another case
    EXPECT_TRUE(m.renameProfile("Home", "Garden"));
    EXPECT_EQ(m.profileNames(), QStringList({ "WORK", "Garden" }));
    EXPECT_EQ(m.syncs, syncs + 2);
}

TEST(ProfileManagerList, SelectionByName)
{
    CountingManager m;
    m.addProfile(named("One"));
    m.addProfile(named("Two"));
    EXPECT_TRUE(m.setSelectedProfile("TWO"));
    EXPECT_EQ(m.selectedIndex(), 1);
    EXPECT_FALSE(m.setSelectedProfile("Three"));
    EXPECT_EQ(m.selectedIndex(), 1);
    EXPECT_EQ(m.selectionSignals, 0);
    const int syncs = m.syncs;
    m.removeAllProfiles();
    EXPECT_EQ(m.selectedIndex(), -1);
    EXPECT_EQ(m.syncs, syncs);
}

TEST(ProfileManagerApply, RefusedWithoutDongleOrIndex)
{
    CountingManager m;
    m.addProfile(named("A"));
    Done done;
    EXPECT_FALSE(m.apply(0, done.callback())); // no road to a dongle at all
    EXPECT_FALSE(m.applySelected(done.callback()));
    EXPECT_FALSE(m.test(MouseProfile::Tremor, done.callback()));
    m.connectFakeDongle();
    m.connected = false;
    EXPECT_FALSE(m.apply(0, done.callback()));
    EXPECT_FALSE(m.apply(MouseProfile::Tremor, done.callback()));
    EXPECT_FALSE(m.test(MouseProfile::Tremor, done.callback()));
    // Nothing was copied into the selected profile by a refused apply.
    EXPECT_TRUE(m.selectedProfile()->isEqual(named("A"), true));
    m.connected = true;
    EXPECT_FALSE(m.apply(1, done.callback()));
    EXPECT_FALSE(m.apply(-1, done.callback()));
    EXPECT_EQ(done.calls, 0);
    EXPECT_TRUE(m.uploads.empty());

    m.removeAllProfiles();
    EXPECT_FALSE(m.applySelected(done.callback()));
    EXPECT_FALSE(m.apply(MouseProfile::Tremor, done.callback()));
    EXPECT_EQ(done.calls, 0);
}

TEST(ProfileManagerApply, SuccessSelectsSignalsAndSyncs)
{
    CountingManager m;
    m.connectFakeDongle();
    m.addProfile(named("A", 0.1f));
    m.addProfile(named("B", 0.2f));
    const int syncs = m.syncs;
    Done done;
    EXPECT_TRUE(m.apply(1, done.callback()));
    ASSERT_EQ(m.uploads.size(), 1u);
    EXPECT_TRUE(m.uploads[0].profile->isEqual(named("B", 0.2f), true));
    EXPECT_EQ(m.selectedIndex(), 0); // not before the dongle took it
    m.finish(0);
    EXPECT_EQ(m.selectedIndex(), 1);
    EXPECT_EQ(m.selectionSignals, 1);
    EXPECT_EQ(m.syncs, syncs + 1);
    EXPECT_EQ(done.calls, 1);
    EXPECT_EQ(done.code, 0);
}

TEST(ProfileManagerApply, FailureChangesNothing)
{
    CountingManager m;
    m.connectFakeDongle();
    m.addProfile(named("A"));
    m.addProfile(named("B"));
    const int syncs = m.syncs;
    Done done;
    EXPECT_TRUE(m.apply(1, done.callback()));
    m.finish(4);
    EXPECT_EQ(m.selectedIndex(), 0);
    EXPECT_EQ(m.selectionSignals, 0);
    EXPECT_EQ(m.syncs, syncs);
    EXPECT_EQ(done.calls, 1);
    EXPECT_EQ(done.code, 4);

    // An empty completion is simply not called.
    EXPECT_TRUE(m.apply(1, ProfileManager::Completion()));
    m.finish(0);
    EXPECT_EQ(m.selectedIndex(), 1);
}

TEST(ProfileManagerApply, ProfileArgumentKeepsTheSelectedName)
{
    CountingManager m;
    m.connectFakeDongle();
    m.addProfile(named("Y", 0.3f));
    const MouseProfile x("X", MouseMode(2), false, 1000, false, false, 0.9f, 0.8f, 0.7f, true, 0.6f, 0x41);
    Done done;
    EXPECT_TRUE(m.apply(x, done.callback()));
    EXPECT_EQ(m.selectedProfile()->name(), "Y");
    EXPECT_TRUE(m.selectedProfile()->isEqual(x, false));
    ASSERT_EQ(m.uploads.size(), 1u);
    EXPECT_EQ(m.uploads[0].profile->name(), "Y");
    m.finish(0);
    EXPECT_EQ(done.code, 0);
    EXPECT_TRUE(m.selectedProfile()->isEqual(x, false));
    EXPECT_EQ(m.selectedProfile()->name(), "Y");
}

TEST(ProfileManagerApply, FailedProfileArgumentIsNotKept)
{
    CountingManager m;
    m.connectFakeDongle();
    m.addProfile(named("Y", 0.3f));
    const int syncs = m.syncs;
    Done done;
    EXPECT_TRUE(m.apply(MouseProfile::Tremor, done.callback()));
    m.finish(4);
    EXPECT_EQ(done.code, 4);
    // The listed profile holds what the dongle holds: its settings from before.
    EXPECT_TRUE(m.selectedProfile()->isEqual(named("Y", 0.3f), true));
    EXPECT_EQ(m.syncs, syncs);
}

TEST(ProfileManagerApply, AFailureDoesNotUndoALaterApply)
{
    CountingManager m;
    m.connectFakeDongle();
    m.addProfile(named("Y", 0.3f));
    Done first, second;
    const MouseProfile x("X", MouseProfile::Tremor);
    const MouseProfile z("Z", MouseProfile::Restricted);
    EXPECT_TRUE(m.apply(x, first.callback()));
    EXPECT_TRUE(m.apply(z, second.callback()));
    m.finish(4); // the first upload fails after the second was given
    EXPECT_TRUE(m.selectedProfile()->isEqual(z, false));
    m.finish(0);
    EXPECT_EQ(second.code, 0);
    EXPECT_TRUE(m.selectedProfile()->isEqual(z, false));
    EXPECT_EQ(m.selectedProfile()->name(), "Y");
}

// Two applies given one after the other: the listed profile ends with what the dongle took last,
// and a failure gives back only settings the dongle took (never those of an upload that failed).
TEST(ProfileManagerApply, OverlappingAppliesLeaveWhatTheDongleTook)
{
    const MouseProfile y("Y", MouseProfile::Normal);
    const MouseProfile x("X", MouseProfile::Tremor);
    const MouseProfile z("Z", MouseProfile::Restricted);
    struct Case {
        const MouseProfile* second;
        int firstCode, secondCode;
        const MouseProfile* kept;
    };
    const Case cases[] = {
        { &x, 4, 0, &x }, // the same settings again: the second upload's success keeps them
        { &z, 4, 4, &y }, // both fail: the settings from before both
        { &z, 0, 4, &x }, // the first taken, the second not
        { nullptr, 4, 0, &x }, // the profile applied again as listed, before the first failed
    };
    for (const Case& c : cases) {
        CountingManager m;
        m.connectFakeDongle();
        m.addProfile(y);
        Done first, second;
        EXPECT_TRUE(m.apply(x, first.callback()));
        EXPECT_TRUE(c.second ? m.apply(*c.second, second.callback()) : m.applySelected(second.callback()));
        m.finish(c.firstCode);
        m.finish(c.secondCode);
        while (!m.uploads.empty())
            m.finish(0); // the write-back of the profile shown
        EXPECT_TRUE(m.selectedProfile()->isEqual(*c.kept, false)) << c.firstCode << c.secondCode;
        EXPECT_EQ(m.selectedProfile()->name(), "Y");
    }
}

TEST(ProfileManagerApply, CompletionAfterTheListChangedNeverUsesAStalePosition)
{
    CountingManager m;
    m.connectFakeDongle();
    for (const char* n : { "A", "B", "C" })
        m.addProfile(named(n));
    Done first, second, third;

    // The applied profile moves to another position while the upload runs.
    EXPECT_TRUE(m.apply(2, first.callback()));
    m.removeProfile("A");
    m.finish(0);
    EXPECT_EQ(m.selectedProfile()->name(), "C");
    EXPECT_EQ(m.selectedIndex(), 1);
    EXPECT_EQ(first.code, 0);

    // The applied profile is removed while the upload runs: the selection stays valid.
    EXPECT_TRUE(m.apply(0, second.callback()));
    m.removeProfile("B");
    const int signalCount = m.selectionSignals;
    m.finish(0);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(m.selectionSignals, signalCount);
    EXPECT_EQ(m.selectedProfile()->name(), "C");

    // The list is emptied and rebuilt while the upload runs.
    EXPECT_TRUE(m.apply(0, third.callback()));
    m.removeAllProfiles();
    m.addProfile(named("Fresh"));
    m.addProfile(named("C"));
    m.finish(0);
    EXPECT_EQ(third.calls, 1);
    EXPECT_EQ(m.selectedProfile()->name(), "Fresh");
}

TEST(ProfileManagerApply, CompletionAfterTheManagerIsGone)
{
    ProfileManager::Completion pending;
    Done done;
    {
        CountingManager m;
        m.setProfileWriter([] { return true; },
                           [&pending](const MouseProfile&, ProfileManager::Completion cb) { pending = std::move(cb); });
        m.addProfile(named("A"));
        EXPECT_TRUE(m.applySelected(done.callback()));
    }
    ASSERT_TRUE(bool(pending));
    pending(DongleResult(0));
    EXPECT_EQ(done.calls, 1);
    EXPECT_EQ(done.code, 0);
}

TEST(ProfileManagerApply, TestUploadsWithoutStoringOrSelecting)
{
    CountingManager m;
    m.connectFakeDongle();
    m.addProfile(named("A"));
    const int syncs = m.syncs;
    Done done;
    EXPECT_TRUE(m.test(MouseProfile::Tremor, done.callback()));
    ASSERT_EQ(m.uploads.size(), 1u);
    EXPECT_TRUE(m.uploads[0].profile->isEqual(MouseProfile::Tremor, true));
    m.finish(7);
    EXPECT_EQ(done.code, 7);
    EXPECT_TRUE(m.test(MouseProfile::Tremor, done.callback()));
    m.finish(0);
    EXPECT_EQ(done.calls, 2);
    EXPECT_EQ(m.syncs, syncs);
    EXPECT_EQ(m.selectionSignals, 0);
    EXPECT_TRUE(m.selectedProfile()->isEqual(named("A"), true));
}

TEST(ProfileManagerApply, AFailedUploadWritesTheShownProfileBackOnlyToTheSameAnsweringDongle)
{
    CountingManager m;
    int dongle = 1;
    const char dongles[3] = {};
    m.setProfileWriter([&m]() { return m.connected; },
                       [&m](const MouseProfile& profile, ProfileManager::Completion done) {
                           m.uploads.push_back({ std::make_unique<MouseProfile>(profile), std::move(done) });
                       },
                       [&]() -> const void* { return dongle ? &dongles[dongle] : nullptr; });
    m.addProfile(named("A", 0.1f));
    m.addProfile(named("B", 0.9f));
    m.setSelectedProfile("A");
    const int syncs = m.syncs;
    Done done;

    // Timed out part way: A is written back once; the upload's failure is what done gets.
    EXPECT_TRUE(m.apply(1, done.callback()));
    m.finish(DongleResult::TimedOut);
    ASSERT_EQ(m.uploads.size(), 1u);
    EXPECT_TRUE(m.uploads[0].profile->isEqual(named("A", 0.1f), true));
    EXPECT_EQ(done.calls, 0);
    m.finish(DongleResult::Ok);
    EXPECT_EQ(done.calls, 1);
    EXPECT_EQ(done.code, DongleResult::TimedOut);
    EXPECT_FALSE(ProfileManager::settingsMayDiffer(done.last));

    // The write-back failing too is told, and nothing more is written.
    EXPECT_TRUE(m.apply(1, done.callback()));
    m.finish(DongleResult::TimedOut);
    m.finish(DongleResult::TimedOut);
    EXPECT_TRUE(m.uploads.empty());
    EXPECT_EQ(done.calls, 2);
    EXPECT_EQ(done.code, DongleResult::TimedOut);
    EXPECT_TRUE(ProfileManager::settingsMayDiffer(done.last));

    // A dongle gone, or another one in its place, is not written back to.
    EXPECT_TRUE(m.apply(1, done.callback()));
    m.finish(DongleResult::DongleRemoved);
    EXPECT_TRUE(m.apply(1, done.callback()));
    dongle = 2;
    m.finish(DongleResult::TimedOut);
    EXPECT_TRUE(m.uploads.empty());
    EXPECT_EQ(done.calls, 4);
    EXPECT_EQ(m.syncs, syncs);
    EXPECT_EQ(m.selectedProfile()->name(), "A");
}

// A profile given while an earlier upload was still running (a selection while the dongle's
// start-up profile is written) is the one the dongle keeps: the earlier one failing part way
// writes nothing back behind it.
TEST(ProfileManagerApply, AFailedUploadWritesNothingBackBehindALaterOne)
{
    CountingManager m;
    const char dongle = 0;
    m.setProfileWriter([&m]() { return m.connected; },
                       [&m](const MouseProfile& profile, ProfileManager::Completion done) {
                           m.uploads.push_back({ std::make_unique<MouseProfile>(profile), std::move(done) });
                       },
                       [&]() -> const void* { return &dongle; });
    m.addProfile(named("A", 0.1f));
    m.addProfile(named("B", 0.9f));
    m.setSelectedProfile("A");
    Done first, second;
    EXPECT_TRUE(m.applySelected(first.callback()));
    EXPECT_TRUE(m.apply(1, second.callback()));
    m.finish(DongleResult::TimedOut);
    EXPECT_EQ(first.code, DongleResult::TimedOut);
    m.finish(DongleResult::Ok);
    EXPECT_EQ(second.code, DongleResult::Ok);
    EXPECT_TRUE(m.uploads.empty()) << "A written back over B";
    EXPECT_EQ(m.selectedProfile()->name(), "B");

    // The later one failing as well: the profile shown is written back once, after both.
    EXPECT_TRUE(m.apply(0, first.callback()));
    EXPECT_TRUE(m.apply(1, second.callback()));
    m.finish(DongleResult::TimedOut);
    m.finish(DongleResult::TimedOut);
    ASSERT_EQ(m.uploads.size(), 1u);
    EXPECT_TRUE(m.uploads[0].profile->isEqual(named("B", 0.9f), true));
}
