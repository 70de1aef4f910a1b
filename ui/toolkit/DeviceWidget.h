#pragma once
// One device in a device list: its tinted icon (perhaps with a badge), PAN, address and, when
// known, serial number, and a green check mark its owner switches. It keeps the device's
// identity for the owner to read back and takes no input. A colour or badge given before the
// icon waits for the icon: the row shows the "unknown" picture until then.
#include <QColor>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "protocol/ChannelMap.h"

namespace Ui
{
class DeviceWidget;
}

namespace OX
{

class DeviceWidget : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(uint16_t pan READ pan WRITE setPAN NOTIFY panChanged)
    Q_PROPERTY(QString serial READ serial WRITE setSerial NOTIFY serialChanged)
    Q_PROPERTY(QString icon READ icon WRITE setIcon NOTIFY iconChanged)
    Q_PROPERTY(QString badge READ badge WRITE setBadge NOTIFY badgeChanged)
    Q_PROPERTY(QColor iconColor READ iconColor WRITE setIconColor NOTIFY iconColorChanged)
    Q_PROPERTY(DeviceAddress address READ address WRITE setAddress NOTIFY addressChanged)
    Q_PROPERTY(OrvixDevice::Preset preset READ preset WRITE setPreset NOTIFY presetChanged)
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked NOTIFY stateChanged)
public:
    static constexpr int IconSide = 40;
    static constexpr int CheckSide = 20;
    static constexpr QSize SizeHint { 250, 60 };

    explicit DeviceWidget(QWidget* parent = nullptr);
    ~DeviceWidget() override;

    QSize sizeHint() const override;

    uint16_t pan() const { return m_pan; }
    QString serial() const { return m_serial; }
    QString icon() const { return m_icon; }
    QString badge() const { return m_badge; }
    QColor iconColor() const { return m_iconColor; }
    DeviceAddress address() const { return m_address; }
    OrvixDevice::Preset preset() const { return m_preset; }
    bool isChecked() const { return m_checked; }

    void setPAN(uint16_t pan);
    // An empty serial hides the serial caption and value.
    void setSerial(QString const& serial);
    void setIcon(QString const& path);
    // Drawn in the lower right quarter of the icon once an icon is set; an empty but non-null
    // path counts as a badge.
    void setBadge(QString const& path);
    // The icon's tint and the text colour of every label of the row.
    void setIconColor(QColor const& color);
    // "address/port", or the address alone for port 0.
    void setAddress(DeviceAddress const& address);
    void setPreset(OrvixDevice::Preset preset);
    void setChecked(bool checked);

    // What the address label shows.
    QString addressText() const;

signals:
    // Declared with the properties; the setters do not emit them.
    void panChanged(uint16_t pan);
    void serialChanged(QString const& serial);
    void iconChanged(QString const& icon);
    void badgeChanged(QString const& badge);
    void iconColorChanged(QColor const& color);
    void addressChanged(OrvixDevice const& device);
    void stateChanged(bool state);
    void presetChanged(OrvixDevice::Preset const& preset);

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateIcon();

    std::unique_ptr<Ui::DeviceWidget> m_ui;
    uint16_t m_pan = 0;
    QString m_serial;
    QString m_icon;
    QString m_badge;
    QColor m_iconColor = Qt::black;
    DeviceAddress m_address;
    OrvixDevice::Preset m_preset = OrvixDevice::NoPreset;
    bool m_checked = false;
};

} // namespace OX
