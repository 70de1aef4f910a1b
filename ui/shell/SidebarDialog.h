#pragma once
// The on-screen toolbar: a small window that stays on top, with a status icon that toggles
// the main window and badges for the dongle and the headset.
#include "device/DongleDelegate.h"

#include <QDialog>
#include <QList>
#include <QMetaObject>
#include <QPointer>

class Dongle;
class Headset;
class OrvixDirector;
class QBoxLayout;
class QLabel;
class QToolButton;
class Settings;

class SidebarDialog : public QDialog {
    Q_OBJECT
public:
    explicit SidebarDialog(QWidget* parent = nullptr);
    ~SidebarDialog() override;

    // Follows the director's dongle, headset and settings signals (earlier connections are
    // dropped), applies its settings and shows no headset.
    void attach(OrvixDirector* director);
    void detach();
    OrvixDirector* director() const;

    // Refreshes the badges from the director's headset (when attached), then shows and raises
    // the toolbar.
    void show();

    // What the badges show (tests read it).
    QString dongleBadge() const;
    QString headsetBadge() const;

signals:
    // The user clicked the status icon.
    void statusIconAction();
    // Hides the toolbar.
    void hideSignal();

public slots:
    void onDongleUpdated(Dongle* dongle, DongleChangeMask mask);
    void onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask);
    void onHeadsetStatusChanged(Headset* headset, bool active);
    void onHeadsetChannelChanged(Headset* headset, int channel);
    void onSettingsChanged(Settings* settings);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QPointer<OrvixDirector> m_director;
    QList<QMetaObject::Connection> m_connections;
    QBoxLayout* m_layout;
    QToolButton* m_statusIcon;
    QLabel* m_dongleBadge;
    QLabel* m_headsetBadge;
    bool m_donglePresent = false;
    bool m_headsetPresent = false;
    bool m_headsetActive = false;
};
