#pragma once
// The frameless, always-on-top main window: the page header, the page shown by the page
// controller, the page footer, and the veil drawn over everything while a long operation runs.
// It builds and registers every page, is their container, routes the menu's entries and the
// bars' buttons, and hands the director's events to the page on screen (the incoming page first
// during a slide). Closing it only hides it. The menu and Help are built with the window; every
// other page when it is first opened.
#include "app/DirectorUi.h"
#include "device/DongleDelegate.h"
#include "ui/toolkit/MenuItem.h"
#include "ui/toolkit/PageContainer.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class OrvixDirector;

namespace Ui
{
class MainWindow;
}

namespace OX
{
class Menu;
class Page;
class PageController;
class PageFooter;
class PageHeader;
class ProgressWidget;
} // namespace OX

class MainWindow : public QMainWindow, public OX::PageContainer
{
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 810;
    static constexpr int MinimumHeight = 700;
    static constexpr int SlideMs = 1000;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sizes and centres the window on the primary screen, follows seven of the director's signals,
    // opens "Menu" and shows the window. A director attached before is forgotten first.
    void attach(OrvixDirector* director);
    // Stops following the director's signals and forgets it.
    void detach();
    OrvixDirector* director() const;

    // Visible, not minimised and the active window.
    bool isTotallyVisible() const;
    // Shows (restored when minimised, and in the middle of the primary screen when no screen
    // holds its middle), activates and raises the window; a box waiting for an answer stays
    // above it.
    void show();

    // The size attach gives the window for an available screen area of availableHeight and a
    // window of aspect ratio width / height.
    static QSize fittedSize(int availableHeight, double aspect);

    // ---- OX::PageContainer ----
    void setTitle(QString const& title) override;
    void setSubtitle(QString const& subtitle) override;
    void setHeaderState(OX::PageHeader::State const& state) override;
    OX::PageHeader::State const& getHeaderState() const override;
    void setLeft(QString const& text, OX::PageAction action, OX::Page* page) override;
    void setRight(QString const& text, OX::PageAction action, OX::Page* page,
        OX::PageFooter::ButtonIndex index) override;
    void setRightEnabled(OX::PageFooter::ButtonIndex index, bool enabled) override;
    void setProgress(bool busy) override;
    void setFooterState(OX::PageFooter::State const& state) override;
    OX::PageFooter::State const& getFooterState() const override;
    void setNavigationEnable(bool enable, OX::NavigationOptions options) override;
    Dongle* getDongle() override;
    Headset* getHeadset() override;
    Link* getLink(OrvixDevice::Preset preset) override;
    Settings* getSettings() override;
    OrvixDirector* getDirector() override;
    // hide and quit (automatic zeroing switched on first when a dongle is there; the run ends on
    // any answer or none; while a LINK firmware upload runs, only once the person chose to stop
    // it; the end of one not seen yet is told first), reset to the current page, home and help;
    // anything else to page.
    void perform(OX::PageAction action, OX::Page* page) override;
    void moveContainer(QPoint offset) override;
    bool isQuitting() const { return m_quitting; }

    // What tests read.
    OX::PageHeader* header() const { return m_header; }
    OX::PageFooter* footer() const { return m_footer; }
    OX::PageController* controller() const { return m_controller; }
    OX::ProgressWidget* progressWidget() const { return m_progress; }
    OX::Menu* menu() const { return m_menu; }

signals:
    // The window's first exposure has been drawn.
    void firstShown();
    // The quit is under way: the window takes no input any more, and shows it is busy.
    void quitStarted();

public slots:
    void onDongleUpdated(Dongle* dongle, DongleChangeMask mask);
    // An accepted, empty channel map opens "Pairing".
    void onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask);
    void onDeviceFound(Dongle* dongle, NPP const& npp);
    void onHeadsetStatusChanged(Headset* headset, bool active);
    void onHeadsetChannelChanged(Headset* headset, int channel);
    void onSettingsChanged(Settings* settings);
    void onProgressUpdated(Progress::Context const* context);
    // Before the dongle is deleted: the veil and the busy footer end with it.
    void onDongleDisconnected(Dongle* dongle);
    // The complete dongle and headset state, before the page appears.
    void onPageWillAppear(OX::Page* page);
    void onMenuItemAction(OX::MenuItem::Identifier id, QString const& title);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Raises the boxes waiting for an answer above this window, the active one last.
    void keepBoxesOnTop();
    // Moves the window to the middle of the primary screen's area for windows.
    void centreOnPrimaryScreen();
    // The same when no screen holds the window's middle.
    void comeBackOnScreen();
    // Hides the veil and forgets the record it read.
    void stopVeil();
    // Quitting would cut a LINK firmware upload: asks whether to stop it and quit (true) instead
    // of quitting. An upload that ends while the box is open closes it, and nothing quits.
    bool askBeforeCuttingUpload();
    // The end of a LINK firmware update that the person has not seen (the dongle stays in
    // firmware update mode until it is plugged in again): told first (true), and the quit goes
    // on once its box is closed.
    bool tellBeforeQuitting();
    // Before the application ends: what the pages left on the devices goes back, since nothing
    // would take it back afterwards (a profile on trial, a headset calibrating, the network in
    // service mode); then runs once, whatever each answer.
    void putDevicesBack(Dongle* dongle, std::function<void()> then);

    QPointer<OrvixDirector> m_director;
    OX::PageHeader* m_header;
    OX::PageController* m_controller;
    OX::PageFooter* m_footer;
    OX::ProgressWidget* m_progress;
    std::unique_ptr<Ui::MainWindow> m_ui;
    OX::Menu* m_menu = nullptr;
    QList<QMetaObject::Connection> m_connections;
    bool m_quitting = false;
    // The upload askBeforeCuttingUpload asks about, while its box is open (it closes when the
    // upload ends).
    QPointer<QObject> m_quitAskedAbout;
    bool m_quitTelling = false; // tellBeforeQuitting's box is open
    bool m_busy = false; // a page set the footer busy
    Progress::Context const* m_veilContext = nullptr; // what the veil reads, while it runs
    bool m_watchingExposure = false;
    bool m_shown = false;
};
