// The download progress window: the bar's value rules, the text, and Cancel.
#include "ui/toolkit/ProgressDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include "common/qt_wait.h"

#include <limits>

namespace
{

TEST(ProgressDialog, BarValueIsTheClampedIntegerPercentage)
{
    OX::ProgressDialog dialog;
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(dialog.size(), QSize(574, 152));

    const struct {
        double fraction;
        int shown;
    } cases[] = { { 0.5, 50 }, { 1.7, 100 }, { -0.2, 0 }, { 0.999, 99 }, { 0.0, 0 }, { 1.0, 100 },
        { std::numeric_limits<double>::quiet_NaN(), 0 }, { std::numeric_limits<double>::infinity(), 100 },
        { -std::numeric_limits<double>::infinity(), 0 }, { 1e300, 100 } };
    for (const auto& c : cases) {
        dialog.setProgress(c.fraction);
        EXPECT_EQ(bar->value(), c.shown) << c.fraction;
    }
    dialog.setProgress(1.7);
    EXPECT_DOUBLE_EQ(dialog.progress(), 1.7);
}

TEST(ProgressDialog, InfoTextIsShown)
{
    OX::ProgressDialog dialog;
    const QString text = QStringLiteral(
        "Downloading software update v 2.7.0. Installation will start automatically, please wait.");
    dialog.setInfo(text);
    EXPECT_EQ(dialog.info(), text);
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text);
}

TEST(ProgressDialog, ALongTextMakesTheWindowTallerAndAShortOneBringsItBack)
{
    OX::ProgressDialog dialog;
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("label"));
    const QString info = QStringLiteral(
        "A 2.7.0 verziójú szoftverfrissítés letöltése folyamatban. A telepítés automatikusan "
        "elindul, kérjük várjon. ");
    dialog.setInfo(info.repeated(5));
    dialog.show();
    ASSERT_TRUE(
        testutil::waitUntil([&] { return label->height() >= label->heightForWidth(label->width()); }));
    EXPECT_EQ(dialog.width(), 574);
    EXPECT_GT(dialog.height(), 152);
    dialog.setInfo(info);
    EXPECT_TRUE(testutil::waitUntil([&] { return dialog.size() == QSize(574, 152); }));
}

TEST(ProgressDialog, CancelEmitsOnceAndLeavesTheWindowOpen)
{
    OX::ProgressDialog dialog;
    int closed = 0;
    QObject::connect(&dialog, &OX::ProgressDialog::dialogClosed, [&closed] { ++closed; });
    dialog.show();
    auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_NE(box, nullptr);
    QPushButton* cancel = box->button(QDialogButtonBox::Cancel);
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(dialog.isVisible());

    // Escape and the window's close button cancel too, and the window stays for its owner.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &escape);
    EXPECT_EQ(closed, 2);
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_EQ(closed, 3);
    EXPECT_TRUE(dialog.isVisible());
    dialog.hide();
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
