#pragma once
// The main menu page ("Menu"): round tiles for the root's four entries, and for the Network and
// Settings submenus. A leaf tile emits action; the window turns it into a page switch. Tiles whose
// page needs a missing dongle, a headset, or a headset not in use are dimmed on every dongle
// update. The menu keeps the submenu that was open while other pages are shown.
#include "ui/toolkit/GraphicsView.h"
#include "ui/toolkit/MenuItem.h"
#include "ui/toolkit/Page.h"

#include <QFutureWatcher>
#include <QGraphicsScene>
#include <QMap>

namespace OX
{

class Menu : public Page
{
    Q_OBJECT
public:
    static constexpr int SceneSize = 512;
    // The version the header shows while the menu is open.
    static QString versionLabel();

    Menu(PageContainer* container, QWidget* parent = nullptr);
    ~Menu() override;

    // back in a submenu returns to the root; anything else is false.
    bool perform(PageAction action) override;
    void retranslate() override;
    void pageWillAppear(QString const& from) override;
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;
    // Every change of the headset's state (found, lost, active, error...) checks the tiles again;
    // a change of the control byte comes here with the active bit.
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;

    MenuItem* rootItem() { return &m_rootItem; }
    MenuItem* currentItem() const { return m_currentItem; }
    // The entry of that identifier anywhere in the tree, or null.
    MenuItem* item(MenuItem::Identifier identifier);
    GraphicsView* view() const { return m_view; }
    QGraphicsScene* scene() { return &m_scene; }
    // Starts reading the submenus' icons on Qt's thread pool (once the window has been drawn);
    // a submenu opened before reads them itself.
    void readSubmenuIcons();

signals:
    void action(OX::MenuItem::Identifier identifier, QString const& title);

public slots:
    void onRootItemClicked(OX::MenuItem* item);
    void onMenuItemClicked(OX::MenuItem* item);

protected:
    bool event(QEvent* event) override;

private:
    void setRootFooter();
    // Gives the main menu's tiles (main) or the submenus' their icons once read (waiting for them
    // if need be); once each.
    void takeIcons(bool main);
    // The icon files of the main menu's tiles (main) or of the submenus', in the tree's order.
    static QStringList iconFiles(bool main);
    void setSubmenuFooter();

    // The scene is declared before the tree: the tree goes first and takes its tiles out of
    // the scene as it deletes them.
    QGraphicsScene m_scene;
    MenuItem m_rootItem;
    MenuItem* m_currentItem;
    QMap<MenuItem::Identifier, QString> m_helpKeys;
    GraphicsView* m_view;
    QFuture<QImage> m_mainIcons;
    bool m_mainIconsTaken = false;
    QFutureWatcher<QImage> m_submenuIcons;
    bool m_submenuIconsRead = false;
    bool m_submenuIconsTaken = false;
};

} // namespace OX
