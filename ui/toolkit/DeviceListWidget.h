#pragma once
// A display-only picture of a small network of devices: the first item is a half disc hanging
// from the top edge (the hub, the headset), the others discs spread along a half ellipse below
// it (the channel map's devices). Each is a device icon in a disc coloured by whether it is
// enabled, with a check-mark badge when checked. No input, no selection: the owner changes
// the items and the widget repaints.
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace OX
{

class DeviceListWidget : public QWidget
{
    Q_OBJECT
public:
    class Item
    {
    public:
        Item(QString const& icon, bool enabled, Qt::CheckState state);

        // The list the item belongs to; its setters repaint it. A taken item keeps only a
        // guarded pointer, so a list that is gone is never touched.
        void setParent(DeviceListWidget* parent);
        DeviceListWidget* parent() const { return m_parent; }

        void setChecked(bool checked);
        void setCheckState(Qt::CheckState state);
        void setEnabled(bool enabled);

        QString icon() const { return m_icon; }
        bool isEnabled() const { return m_enabled; }
        Qt::CheckState checkState() const { return m_state; }

        // The icon in the item's colours at size; a check mark only when enabled and checked.
        QPixmap getPixmap(QSize size) const;

    private:
        void repaintParent() const;

        QString m_icon;
        bool m_enabled = true;
        Qt::CheckState m_state = Qt::Unchecked;
        QPointer<DeviceListWidget> m_parent;
    };

    static constexpr int PictureSide = 256;
    static constexpr int HubRadius = 100;
    static constexpr int LineY = 5;

    explicit DeviceListWidget(QWidget* parent = nullptr);
    ~DeviceListWidget() override;

    void appendItem(Item const& item);
    // Index 0 or less puts the item first, the count or more last.
    void insertItem(int index, Item const& item);
    // An index outside the list changes nothing.
    void removeItem(int index);
    // The item leaves the list; the caller owns it. Null for an index outside the list.
    Item* takeItem(int index);
    void clear();
    // Owned by the list; null for an index outside it.
    Item* itemAt(int index) const;
    int count() const { return m_items.size(); }

    // Radius of the lower discs for n items: 100 for 2, 50 for 9; never below 0.
    static double discRadius(int n);
    // Centre of the disc of item i (i >= 1) of n in a widget of size; the hub's is (cx, 5).
    static QPointF discCentre(int i, int n, QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Item*> m_items;
};

} // namespace OX
