// The LINK navigator's view controllers: which entry opens, what the delegate hears and in which
// order, and that a disabled entry is never opened.
#include "ui/toolkit/ExpandableListView.h"
#include "ui/toolkit/ExpandableListViewItem.h"
#include "ui/toolkit/LinkForm.h"
#include "ui/toolkit/LinkViewController.h"
#include "ui/toolkit/MasterDetailView.h"
#include "ui/toolkit/ViewControllerDelegate.h"

#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

class FakeForm : public OX::LinkForm
{
public:
    explicit FakeForm(LPP& lpp)
        : OX::LinkForm(lpp)
    {
    }
    void updateUi(LPP::ChangeMask mask) override { masks.push_back(mask); }
    void updateWithHeadset(Headset*, HeadsetChangeMask) override { ++headsetUpdates; }
    void retranslate() override { ++retranslations; }
    std::vector<quint32> masks;
    int headsetUpdates = 0;
    int retranslations = 0;
};

struct Recorder : OX::ViewControllerDelegate {
    void viewWillAppear(const QString& id) override { calls << "willAppear " + id; }
    void viewDidAppear(const QString& id) override { calls << "didAppear " + id; }
    void viewWillDisappear(const QString& id) override { calls << "willDisappear " + id; }
    void viewDidDisappear(const QString& id) override { calls << "didDisappear " + id; }
    QStringList calls;
};

struct MasterDetail : ::testing::Test {
    MasterDetail()
    {
        view.delegate = &recorder;
        for (const char* id : { "a", "b", "c" }) {
            auto* form = new FakeForm(lpp);
            forms.push_back(form);
            EXPECT_TRUE(view.addPage(QLatin1String(id), "Title", "Description", form));
        }
    }
    LPP lpp;
    Recorder recorder;
    OX::MasterDetailView view;
    std::vector<FakeForm*> forms;
};

TEST_F(MasterDetail, FirstEntryDisabledOpensNothingFirstAndTheThirdLast)
{
    view.setEnabled(QStringLiteral("a"), false);
    EXPECT_FALSE(view.isEnabled(QStringLiteral("a")));
    EXPECT_FALSE(view.activateFirst());
    EXPECT_TRUE(recorder.calls.isEmpty());
    EXPECT_TRUE(view.activateLast());
    EXPECT_EQ(view.getActiveIdentifier(), QStringLiteral("c"));
    EXPECT_EQ(recorder.calls, QStringList({ "willAppear c", "didAppear c" }));
    EXPECT_TRUE(forms[2]->isVisibleTo(&view));
}

TEST_F(MasterDetail, ThirdEntryDisabledMakesTheSecondLast)
{
    view.setEnabled(QStringLiteral("c"), false);
    EXPECT_EQ(view.getLastIdentifier(), QStringLiteral("b"));
    EXPECT_TRUE(view.activateLast());
    EXPECT_EQ(view.getActiveIdentifier(), QStringLiteral("b"));
}

TEST_F(MasterDetail, TheActiveEntryCannotBeDisabledAndADisabledOneNotOpened)
{
    ASSERT_TRUE(view.activateFirst());
    view.setEnabled(QStringLiteral("a"), false);
    EXPECT_TRUE(view.isEnabled(QStringLiteral("a")));

    view.setEnabled(QStringLiteral("b"), false);
    recorder.calls.clear();
    EXPECT_FALSE(view.setActive(QStringLiteral("b")));
    EXPECT_FALSE(view.setActive(QStringLiteral("unknown")));
    EXPECT_EQ(view.getActiveIdentifier(), QStringLiteral("a"));
    EXPECT_TRUE(recorder.calls.isEmpty());

    view.setEnabled(QStringLiteral("b"), true);
    EXPECT_TRUE(view.setActive(QStringLiteral("b")));
    EXPECT_EQ(
        recorder.calls, QStringList({ "willDisappear a", "didDisappear a", "willAppear b", "didAppear b" }));
    EXPECT_FALSE(forms[0]->isVisibleTo(&view));
    recorder.calls.clear();
    EXPECT_TRUE(view.showPage(QStringLiteral("b")));
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(MasterDetail, ListEntriesAreNumberedMarkedAndOpenOnClick)
{
    FakeForm refused(lpp); // a page not taken stays its caller's
    EXPECT_FALSE(view.addPage(QStringLiteral("a"), "Again", "", &refused));
    OX::ExpandableListView* list = view.listView();
    ASSERT_EQ(list->identifiers().size(), 3);
    EXPECT_TRUE(list->item(QStringLiteral("a"))->isFirstItem());
    EXPECT_FALSE(list->item(QStringLiteral("b"))->isLastItem());
    EXPECT_TRUE(list->item(QStringLiteral("c"))->isLastItem());

    auto* second = list->findChild<QPushButton*>(QStringLiteral("pushButton_2"));
    ASSERT_NE(second, nullptr);
    second->click();
    EXPECT_EQ(view.getActiveIdentifier(), QStringLiteral("b"));
    EXPECT_TRUE(list->item(QStringLiteral("b"))->isExpanded());
    EXPECT_FALSE(list->item(QStringLiteral("a"))->isExpanded());
}

TEST_F(MasterDetail, FormsGetTheirChangesHeadsetUpdatesAndTexts)
{
    view.updateUi(QStringLiteral("b"), LPP::ChangeMask::tremorFilter);
    EXPECT_EQ(forms[1]->masks, std::vector<quint32> { LPP::ChangeMask::tremorFilter });
    EXPECT_TRUE(forms[0]->masks.empty());

    view.updateWithHeadset(nullptr, HeadsetChangeMask::orientation); // nothing shown yet
    ASSERT_TRUE(view.setActive(QStringLiteral("c")));
    view.updateWithHeadset(nullptr, HeadsetChangeMask::orientation);
    EXPECT_EQ(forms[2]->headsetUpdates, 1);
    EXPECT_EQ(forms[0]->headsetUpdates, 0);

    view.retranslate();
    for (FakeForm* form : forms)
        EXPECT_EQ(form->retranslations, 1);
}

TEST(LinkViewController, ANewFormReplacesAndDeletesTheOld)
{
    LPP lpp;
    Recorder recorder;
    OX::LinkViewController controller;
    controller.setObjectName(QStringLiteral("general"));
    controller.delegate = &recorder;
    QPointer<FakeForm> first = new FakeForm(lpp);
    controller.setForm(first);
    controller.setForm(first); // the same form again stays
    ASSERT_FALSE(first.isNull());
    auto* second = new FakeForm(lpp);
    controller.setForm(second);
    EXPECT_TRUE(first.isNull());

    controller.updateUi(QString(), LPP::ChangeMask::all);
    controller.retranslate();
    EXPECT_EQ(second->masks.size(), 1u);
    EXPECT_EQ(second->retranslations, 1);
    EXPECT_TRUE(controller.activateFirst());
    EXPECT_EQ(recorder.calls, QStringList({ "willAppear general", "didAppear general" }));
}

TEST(ExpandableListViewItem, ATitleShowsWholeOnOneOrTwoLinesAndIsCutShortWithItsToolTipOnlyBeyond)
{
    const QString whole = QStringLiteral("Set backward movement range");
    const struct {
        int width;
        int lines;
        bool whole;
    } cases[] = { { 600, 1, true }, { 200, 2, true }, { 100, 2, false } };
    for (const auto& c : cases) {
        OX::ExpandableListViewItem item("Set backward movement range", "", 1, QStringLiteral("x"));
        item.resize(c.width, 60);
        item.show();
        auto* title = item.findChild<QPushButton*>();
        ASSERT_NE(title, nullptr);
        const QString shown = item.shownTitle();
        EXPECT_EQ(shown.count(QLatin1Char('\n')) + 1, c.lines) << c.width;
        EXPECT_EQ(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')) == whole, c.whole) << c.width;
        EXPECT_EQ(title->toolTip(), c.whole ? QString() : whole) << c.width;
        if (!c.whole)
            EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
        EXPECT_LE(title->geometry().right(), item.width()) << "the button stays inside its row";
        EXPECT_GE(title->height(), title->fontMetrics().lineSpacing() * c.lines) << "every line shown";
    }
}

} // namespace
