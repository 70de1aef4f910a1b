#include "ui/toolkit/Menu.h"

#include "app/OrvixDirector.h"
#include "ui/toolkit/Skin.h"

#include <QHash>
#include <QVBoxLayout>

namespace OX
{

namespace
{

struct Entry {
    MenuItem::Identifier parent;
    MenuItem::Identifier identifier;
    char const* title;
    char const* icon;
    QList<MenuItem::Dependency> dependencies;
};

// In display order within each parent.
QList<Entry> const& entries()
{
    static const QList<Entry> table = {
        { MenuItem::MainItem, MenuItem::NetworkItem, QT_TRANSLATE_NOOP("OX::Menu", "Network"), "network",
            {} },
        { MenuItem::MainItem, MenuItem::SettingsItem, QT_TRANSLATE_NOOP("OX::Menu", "Settings"), "settings",
            {} },
        { MenuItem::MainItem, MenuItem::SystemStatusItem, QT_TRANSLATE_NOOP("OX::Menu", "System Status"),
            "status", { MenuItem::needsDongle } },
        { MenuItem::MainItem, MenuItem::AppearanceItem, QT_TRANSLATE_NOOP("OX::Menu", "Appearance"),
            "appearance", {} },
        { MenuItem::SettingsItem, MenuItem::MouseProfilesItem,
            QT_TRANSLATE_NOOP("OX::Menu", "Mouse Profiles"), "profiles", { MenuItem::needsDongle } },
        { MenuItem::SettingsItem, MenuItem::LinkItem, QT_TRANSLATE_NOOP("OX::Menu", "Link"), "link",
            { MenuItem::needsHeadset } },
        { MenuItem::SettingsItem, MenuItem::CalibrationItem, QT_TRANSLATE_NOOP("OX::Menu", "Calibration"),
            "calibration", { MenuItem::needsHeadset, MenuItem::needsPassiveHeadset } },
        { MenuItem::SettingsItem, MenuItem::FirmwareUpdateItem,
            QT_TRANSLATE_NOOP("OX::Menu", "Firmware Update"), "update", { MenuItem::disabled } },
        { MenuItem::NetworkItem, MenuItem::PairingItem, QT_TRANSLATE_NOOP("OX::Menu", "Pairing"), "pairing",
            { MenuItem::needsPassiveHeadset } },
        { MenuItem::NetworkItem, MenuItem::SecurityItem, QT_TRANSLATE_NOOP("OX::Menu", "Security"),
            "security", { MenuItem::needsPassiveHeadset } },
        { MenuItem::NetworkItem, MenuItem::DevicesItem, QT_TRANSLATE_NOOP("OX::Menu", "Devices"), "devices",
            { MenuItem::needsHeadset } },
    };
    return table;
}

QString iconFile(Entry const& e)
{
    return QStringLiteral(":/menu/icons/") + QLatin1String(e.icon);
}

QBrush skinBrush(char const* key)
{
    return QBrush(Skin::color(QLatin1String(key)));
}

// The box the tiles of a menu with n entries draw their icons in, in a scene of that size.
QSize iconBoxOf(int n, QSizeF scene)
{
    return MenuItem::iconBox(QSizeF(1, 1) * MenuItem::cellSide(n, scene));
}

// The largest box any submenu's tiles draw an icon in, in a scene of that size.
QSize largestSubmenuIconBox(QSizeF scene)
{
    QHash<MenuItem::Identifier, int> counts;
    for (Entry const& e : entries())
        if (e.parent != MenuItem::MainItem)
            ++counts[e.parent];
    QSize box;
    for (int n : qAsConst(counts))
        box = box.expandedTo(iconBoxOf(n, scene));
    return box;
}

} // namespace

QString Menu::versionLabel()
{
    const DongleVersion v = OrvixDirector::appVersion();
    const QString version = QStringLiteral("%1.%2.%3-%4").arg(v.major).arg(v.minor).arg(v.fix).arg(v.build);
    return QStringLiteral("OrvixTools v%1 %2").arg(version, QStringLiteral("R"));
}

Menu::Menu(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_rootItem(MenuItem::MainItem, tr("Main"))
    , m_currentItem(&m_rootItem)
{
    qRegisterMetaType<MenuItem::Identifier>("OX::MenuItem::Identifier");
    m_scene.setSceneRect(0, 0, SceneSize, SceneSize);
    m_scene.setBackgroundBrush(skinBrush("pageBackgroundColor"));
    m_view = new GraphicsView(&m_scene, this);
    m_view->setRenderHints(
        QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::HighQualityAntialiasing);
    m_view->setFrameStyle(0);

    // The icons are read on Qt's thread pool, each at the size its tiles draw it, so that no tile
    // scales its icon when first painted: the main menu's while the window is built (taken when
    // the menu is polished for its first showing), the submenus' once the window has been drawn
    // (taken when read, or when a submenu opens first).
    const QStringList mainFiles = iconFiles(true);
    m_mainIcons = Pixmap::readAll(mainFiles, iconBoxOf(mainFiles.size(), m_scene.sceneRect().size()));
    connect(&m_submenuIcons, &QFutureWatcherBase::finished, this, [this] { takeIcons(false); });
    for (Entry const& e : entries()) {
        MenuItem* entry = item(e.parent)->addItem(e.identifier, tr(e.title), Pixmap());
        entry->setColor(skinBrush("menuItemPassiveIconColor"), skinBrush("menuItemPassiveBackgroundColor"),
            skinBrush("menuItemPassiveTextColor"));
        for (MenuItem::Dependency d : e.dependencies)
            entry->addDependency(d);
        const bool submenu = e.identifier == MenuItem::SettingsItem || e.identifier == MenuItem::NetworkItem;
        connect(entry, &MenuItem::actionSignal, this,
            submenu ? &Menu::onRootItemClicked : &Menu::onMenuItemClicked);
    }
    m_helpKeys.insert(MenuItem::NetworkItem, QStringLiteral("navigation_network_anchor"));
    m_helpKeys.insert(MenuItem::SettingsItem, QStringLiteral("navigation_settings_anchor"));

    m_rootItem.applyTo(m_scene);
    m_currentItem = &m_rootItem;

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->show();
    setLayout(layout);
}

Menu::~Menu()
{
    // The tiles belong to the tree: the scene must not delete the ones it shows.
    for (QGraphicsItem* item : m_scene.items())
        m_scene.removeItem(item);
}

MenuItem* Menu::item(MenuItem::Identifier identifier)
{
    if (identifier == MenuItem::MainItem)
        return &m_rootItem;
    if (MenuItem* direct = m_rootItem.itemWithIdentifier(identifier))
        return direct;
    for (MenuItem* sub : m_rootItem.items())
        if (MenuItem* found = sub->itemWithIdentifier(identifier))
            return found;
    return nullptr;
}

void Menu::setRootFooter()
{
    if (!container)
        return;
    container->setLeft(tr("Hide"), PageAction::hide, nullptr);
    container->setRight(tr("Quit"), PageAction::quit, nullptr, PageFooter::MainButton);
}

void Menu::setSubmenuFooter()
{
    if (!container)
        return;
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(QString(), PageAction::none, nullptr, PageFooter::MainButton);
}

void Menu::takeIcons(bool main)
{
    bool& taken = main ? m_mainIconsTaken : m_submenuIconsTaken;
    if (taken)
        return;
    taken = true;
    if (!main)
        readSubmenuIcons();
    // Waits, seldom: read since the window was built (or, for the submenus, first drawn).
    const QList<QImage> images = (main ? m_mainIcons : m_submenuIcons.future()).results();
    int index = 0;
    for (Entry const& e : entries())
        if ((e.parent == MenuItem::MainItem) == main)
            item(e.identifier)->setPixmap(QPixmap::fromImage(images.value(index++)));
}

QStringList Menu::iconFiles(bool main)
{
    QStringList files;
    for (Entry const& e : entries())
        if ((e.parent == MenuItem::MainItem) == main)
            files << iconFile(e);
    return files;
}

void Menu::readSubmenuIcons()
{
    if (m_submenuIconsRead)
        return;
    m_submenuIconsRead = true;
    m_submenuIcons.setFuture(
        Pixmap::readAll(iconFiles(false), largestSubmenuIconBox(m_scene.sceneRect().size())));
}

bool Menu::event(QEvent* event)
{
    if (event->type() == QEvent::Polish)
        takeIcons(true);
    return Page::event(event);
}

void Menu::onRootItemClicked(MenuItem* item)
{
    takeIcons(false);
    m_currentItem = item;
    item->clearMarks();
    item->applyTo(m_scene);
    if (container)
        container->setSubtitle(item->title());
    setSubmenuFooter();
    helpKey = m_helpKeys.value(item->identifier());
}

void Menu::onMenuItemClicked(MenuItem* item)
{
    emit action(item->identifier(), item->title());
}

bool Menu::perform(PageAction pageAction)
{
    MenuItem* parentItem = m_currentItem->parentMenuItem();
    if (pageAction != PageAction::back || !parentItem)
        return false;
    parentItem->applyTo(m_scene);
    m_currentItem = parentItem;
    if (container)
        container->setSubtitle(parentItem->title());
    setRootFooter();
    helpKey.clear();
    // While the submenu was open only its own tiles followed the dongle and the headset.
    updateWithDongle(container ? container->getDongle() : nullptr, DongleChangeMask::all);
    return true;
}

void Menu::retranslate()
{
    m_rootItem.setTitle(tr("Main"));
    for (Entry const& e : entries())
        if (MenuItem* parentItem = item(e.parent))
            parentItem->setTitleOfItem(e.identifier, tr(e.title));
    if (container)
        container->setSubtitle(m_currentItem->title());
    if (m_currentItem->parentMenuItem())
        setSubmenuFooter();
    else
        setRootFooter();
}

void Menu::pageWillAppear(QString const&)
{
    retranslate();
    if (container && container->getDirector())
        container->setTitle(versionLabel());
    updateWithDongle(container ? container->getDongle() : nullptr, DongleChangeMask::all);
}

void Menu::updateWithDongle(Dongle* dongle, DongleChangeMask mask)
{
    m_currentItem->updateWithDongle(dongle, mask);
    update();
}

void Menu::updateWithHeadset(Headset*, HeadsetChangeMask mask)
{
    // Orientation and battery arrive many times a second and change no tile.
    const quint32 moving = HeadsetChangeMask::orientation | HeadsetChangeMask::battery;
    if ((mask.value() & ~moving) != 0)
        updateWithDongle(container ? container->getDongle() : nullptr, DongleChangeMask::all);
}

} // namespace OX
