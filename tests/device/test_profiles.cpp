#include "device/LinkProfile.h"
#include "device/MouseProfile.h"
#include "common/signal_count.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using testutil::SignalCount;

SCP record(quint8 command, quint8 lsb, quint8 msb)
{
    return SCP(command, lsb, msb);
}

void expectSettings(const MouseProfile& p, int mode, bool autoZero, int zeroMs, float tremor, float h, float v,
                    float speed, int key)
{
    EXPECT_EQ(int(p.controlMode()), mode);
    EXPECT_EQ(p.autoZeroEnable(), autoZero);
    EXPECT_EQ(p.zeroTimeInterval(), zeroMs);
    EXPECT_TRUE(p.audioFeedback());
    EXPECT_TRUE(p.visualFeedback());
    EXPECT_FLOAT_EQ(p.tremorFilter(), tremor);
    EXPECT_FLOAT_EQ(p.horizontalViewAnglePercent(), h);
    EXPECT_FLOAT_EQ(p.verticalViewAnglePercent(), v);
    EXPECT_FALSE(p.autorange());
    EXPECT_FLOAT_EQ(p.mouseSpeedPercent(), speed);
    EXPECT_EQ(int(p.ACATKeyCode()), key);
}

} // namespace

TEST(MouseProfileValues, DefaultsAndBuiltIns)
{
    MouseProfile fresh;
    EXPECT_EQ(fresh.name(), "undefined");
    expectSettings(fresh, 1, true, 5000, 0.25f, 0.5f, 0.5f, 0.5f, 205);

    EXPECT_EQ(MouseProfile::Normal.name(), "Normal");
    expectSettings(MouseProfile::Normal, 1, true, 15000, 0.5f, 0.5f, 0.5f, 0.5f, 205);
    EXPECT_EQ(MouseProfile::Restricted.name(), "Restricted");
    expectSettings(MouseProfile::Restricted, 1, true, 15000, 0.5f, 0.25f, 0.25f, 0.75f, 205);
    EXPECT_EQ(MouseProfile::Tremor.name(), "Tremor");
    expectSettings(MouseProfile::Tremor, 1, true, 15000, 0.75f, 0.75f, 0.75f, 0.25f, 205);
    EXPECT_EQ(MouseProfile::Normal.parent(), nullptr);
}

TEST(MouseProfileValues, FullConstructorStoresUnclamped)
{
    MouseProfile p("X", MouseMode(3), false, 700, false, true, 1.5f, -0.2f, 0.3f, true, 2.0f, 0x41);
    EXPECT_EQ(p.name(), "X");
    EXPECT_EQ(int(p.controlMode()), 3);
    EXPECT_FALSE(p.autoZeroEnable());
    EXPECT_EQ(p.zeroTimeInterval(), 700);
    EXPECT_FALSE(p.audioFeedback());
    EXPECT_TRUE(p.visualFeedback());
    EXPECT_FLOAT_EQ(p.tremorFilter(), 1.5f);
    EXPECT_FLOAT_EQ(p.horizontalViewAnglePercent(), -0.2f);
    EXPECT_TRUE(p.autorange());
    EXPECT_FLOAT_EQ(p.mouseSpeedPercent(), 2.0f);
    EXPECT_EQ(p.ACATKeyCode(), 0x41);
}

TEST(MouseProfileValues, CopyingAndAssignment)
{
    QObject owner;
    MouseProfile source(&owner);
    source.setProfileName("Source");
    source.setTremorFilter(0.9f);

    // The copy constructor takes the name; the copy belongs to no parent.
    MouseProfile copy(source);
    EXPECT_EQ(copy.name(), "Source");
    EXPECT_TRUE(copy.isEqual(source, true));
    EXPECT_EQ(copy.parent(), nullptr);

    MouseProfile renamed("Other", source);
    EXPECT_EQ(renamed.name(), "Other");
    EXPECT_TRUE(renamed.isEqual(source, false));
    EXPECT_FALSE(renamed.isEqual(source, true));

    // Assignment keeps the target's name, takes the settings and signals the change.
    MouseProfile target(MouseProfile::Tremor);
    target.setProfileName("Y");
    SignalCount changed(&target, &MouseProfile::profileChanged);
    target = MouseProfile::Restricted;
    EXPECT_EQ(target.name(), "Y");
    EXPECT_TRUE(target.isEqual(MouseProfile::Restricted, false));
    EXPECT_EQ(changed.count, 1);

    target = target; // self-assignment keeps everything
    EXPECT_EQ(target.name(), "Y");
    EXPECT_TRUE(target.isEqual(MouseProfile::Restricted, false));
}

TEST(MouseProfileValues, IsEqual)
{
    MouseProfile a("Work", MouseProfile::Normal);
    MouseProfile b("work", MouseProfile::Normal);
    MouseProfile c("Home", MouseProfile::Normal);
    EXPECT_TRUE(a.isEqual(b, false));
    EXPECT_TRUE(a.isEqual(b, true)); // names compared ignoring case
    EXPECT_TRUE(a.isEqual(c, false));
    EXPECT_FALSE(a.isEqual(c, true));

    b.setACATKeyCode(0x20);
    EXPECT_FALSE(a.isEqual(b, false));
    b.setACATKeyCode(205);
    b.setZeroTimeInterval(15001);
    EXPECT_FALSE(a.isEqual(b, false));

    // A NaN never equals anything, itself included.
    MouseProfile n("N", MouseMode(1), true, 1, true, true, std::nanf(""), 0.5f, 0.5f, false, 0.5f, 205);
    EXPECT_FALSE(n.isEqual(n, false));
}

TEST(MouseProfileValues, ValueSettersClampFractions)
{
    MouseProfile p;
    SignalCount changed(&p, &MouseProfile::profileChanged);
    SignalCount renamed(&p, &MouseProfile::profileRenamed);

    p.setTremorFilter(1.5f);
    EXPECT_FLOAT_EQ(p.tremorFilter(), 1.0f);
    p.setHorizontalViewAnglePercent(-0.5f);
    EXPECT_FLOAT_EQ(p.horizontalViewAnglePercent(), 0.0f);
    p.setVerticalViewAnglePercent(std::nanf(""));
    EXPECT_FLOAT_EQ(p.verticalViewAnglePercent(), 0.0f);
    p.setMouseSpeedPercent(std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(p.mouseSpeedPercent(), 1.0f);
    p.setMouseSpeedPercent(0.33f);
    EXPECT_FLOAT_EQ(p.mouseSpeedPercent(), 0.33f);
    p.setControlMode(MouseMode(2));
    p.setAutoZeroEnable(false);
    p.setZeroTimeInterval(-5);
    p.setAudioFeedback(false);
    p.setVisualFeedback(false);
    p.setAutorange(true);
    p.setACATKeyCode(0xB0);
    EXPECT_EQ(int(p.controlMode()), 2);
    EXPECT_FALSE(p.autoZeroEnable());
    EXPECT_EQ(p.zeroTimeInterval(), -5);
    EXPECT_FALSE(p.audioFeedback());
    EXPECT_FALSE(p.visualFeedback());
    EXPECT_TRUE(p.autorange());
    EXPECT_EQ(p.ACATKeyCode(), 0xB0);
    EXPECT_EQ(changed.count, 12);
    EXPECT_EQ(renamed.count, 0);

    QString announced;
    QObject::connect(&p, &MouseProfile::profileRenamed,
                     [&](const MouseProfile&, const QString& name) { announced = name; });
    p.setProfileName("Renamed");
    EXPECT_EQ(announced, "Renamed");
    EXPECT_EQ(p.name(), "Renamed");
    EXPECT_EQ(changed.count, 12);
    EXPECT_EQ(renamed.count, 1);
}

TEST(MouseProfileValues, ReplySettersTakeTheValueBytesUnclamped)
{
    MouseProfile p;
    SignalCount changed(&p, &MouseProfile::profileChanged);

    p.setFilter(record(12, 0, 150));
    EXPECT_FLOAT_EQ(p.tremorFilter(), 1.5f);
    p.setFilter(record(12, 99, 25));
    EXPECT_FLOAT_EQ(p.tremorFilter(), 0.25f);

    p.setRange(record(8, 60, 80)); // lsb vertical, msb horizontal
    EXPECT_FLOAT_EQ(p.horizontalViewAnglePercent(), 0.8f);
    EXPECT_FLOAT_EQ(p.verticalViewAnglePercent(), 0.6f);

    p.setMouseSpeed(record(27, 0, 255));
    EXPECT_FLOAT_EQ(p.mouseSpeedPercent(), 2.55f);

    p.setMouseMode(record(30, 7, 3));
    EXPECT_EQ(int(p.controlMode()), 3);

    p.setAutoZero(record(18, 1, 0));
    EXPECT_FALSE(p.autoZeroEnable()); // only the msb counts
    p.setAutoZero(record(18, 0, 1));
    EXPECT_TRUE(p.autoZeroEnable());
    p.setAutoZero(record(18, 0, 2));
    EXPECT_FALSE(p.autoZeroEnable()); // on only for exactly 1

    p.setACATKey(record(31, 0x11, 0xD7));
    EXPECT_EQ(p.ACATKeyCode(), 0xD7);
    EXPECT_EQ(changed.count, 9);
}

TEST(MouseProfileValues, TextOfNormal)
{
    const QString text = MouseProfile::Normal.toString(1);
    const QString expected = "{\n"
                             "   name: Normal\n"
                             "   mode: absolute\n"
                             "   autoZero: true\n"
                             "   zeroTimeInterval: 15000\n"
                             "   audioFeedback: true\n"
                             "   visualFeedback: true\n"
                             "   tremorFilter: 50\n"
                             "   horizontalViewAngle: 50\n"
                             "   verticalViewAngle: 50\n"
                             "   autoRange: false\n"
                             "   mouseSpeed: 50\n"
                             "   ACATKey: F12\n"
                             "}";
    EXPECT_EQ(text, expected);
}

TEST(MouseProfileValues, TextIndentationAndNumbers)
{
    MouseProfile p("Deep", MouseMode(9), false, 0, false, false, 0.333333f, 0.0f, 1.0f, true, 0.125f, 0x61);
    const QString text = p.toString(2);
    EXPECT_TRUE(text.startsWith("{\n      name: Deep\n      mode: unknown\n")) << qPrintable(text);
    EXPECT_TRUE(text.contains("\n      tremorFilter: 33.3333\n")) << qPrintable(text);
    EXPECT_TRUE(text.contains("\n      horizontalViewAngle: 0\n"));
    EXPECT_TRUE(text.contains("\n      mouseSpeed: 12.5\n"));
    EXPECT_TRUE(text.contains("\n      ACATKey: A\n"));
    EXPECT_TRUE(text.endsWith("\n   }")) << qPrintable(text);

    // Depth 0: no indentation at all.
    EXPECT_TRUE(MouseProfile::Tremor.toString(0).startsWith("{\nname: Tremor\n"));
    EXPECT_TRUE(MouseProfile::Tremor.toString(0).endsWith("\n}"));
}

TEST(LinkProfileValues, BuiltIns)
{
    const quint8 expected[27] = { 46, 46, 46, 46, 60, 60, 60, 60, 0, 1, 0, 0, 0x50, 0xC3, // 50000 LE
                                  40, 30, 40, 40, 5, 50, 0, 5, 50, 15, 3, 0, 0 };
    const QByteArray bytes(reinterpret_cast<const char*>(expected), 27);
    for (const LinkProfile* p : { &LinkProfile::Normal, &LinkProfile::Restricted, &LinkProfile::Tremor }) {
        EXPECT_TRUE(p->defined);
        EXPECT_EQ(p->parameters.getData().bytes(), bytes) << qPrintable(p->name);
    }
    EXPECT_EQ(LinkProfile::Normal.name, "Normal");
    EXPECT_EQ(LinkProfile::Restricted.name, "Restricted");
    EXPECT_EQ(LinkProfile::Tremor.name, "Tremor");
}

TEST(LinkProfileValues, ConstructionAndDefinedFlag)
{
    LinkProfile empty;
    EXPECT_TRUE(empty.name.isEmpty());
    EXPECT_FALSE(empty.defined);
    EXPECT_TRUE(empty.parameters.isEqual(LPP()));

    LinkProfile named("backup");
    EXPECT_EQ(named.name, "backup");
    EXPECT_FALSE(named.defined);

    // A copy tells the same as its source: an absent profile stays absent through copies.
    LinkProfile copied(named);
    EXPECT_FALSE(copied.defined);
    EXPECT_EQ(copied.name, "backup");
    LinkProfile builtInCopy(LinkProfile::Normal);
    EXPECT_TRUE(builtInCopy.defined);
    EXPECT_EQ(builtInCopy.parent(), nullptr);

    LinkProfile assigned(LinkProfile::Tremor);
    assigned = named;
    EXPECT_FALSE(assigned.defined);
    EXPECT_EQ(assigned.name, "backup");
    EXPECT_TRUE(assigned.parameters.isEqual(LPP()));

    QList<LinkProfile> list;
    list << named << LinkProfile::Normal;
    list.removeFirst();
    EXPECT_EQ(list.first().name, "Normal");
    EXPECT_TRUE(list.first().defined);
}

TEST(LinkProfileValues, EqualityByNameAndIsEqual)
{
    LinkProfile upper("Normal", LinkProfile::Normal.parameters);
    LinkProfile lower("normal", LinkProfile::Normal.parameters);
    EXPECT_FALSE(upper == lower);
    EXPECT_TRUE(upper != lower);
    EXPECT_TRUE(upper.isEqual(lower, true));
    EXPECT_TRUE(upper == LinkProfile::Normal);

    LinkProfile otherRecord("Normal", LPP());
    EXPECT_TRUE(upper == otherRecord); // names only
    EXPECT_FALSE(upper.isEqual(otherRecord, false));

    LinkProfile undefinedZero("Normal");
    EXPECT_FALSE(otherRecord.isEqual(undefinedZero, false)); // defined flags differ
    EXPECT_FALSE(upper.isEqual(LinkProfile("Other", LinkProfile::Normal.parameters), true));
    EXPECT_TRUE(upper.isEqual(LinkProfile("Other", LinkProfile::Normal.parameters), false));

    QList<LinkProfile> list { LinkProfile::Normal, LinkProfile::Restricted };
    EXPECT_EQ(list.indexOf(LinkProfile("Restricted")), 1);
    EXPECT_EQ(list.indexOf(LinkProfile("restricted")), -1);
}
