#pragma once
// The frameless main window. It shows the dongle's and the headset's state, follows the
// director's signals while attached, asks the user questions and performs the window-level
// actions (hide, quit).
#include "device/DongleDelegate.h"
#include "protocol/DongleResult.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class Dongle;
class Headset;
class OrvixDirector;
class QLabel;
class QProgressBar;
class QPushButton;
class Settings;

namespace OX {
class Page;
}

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The window-level actions.
    enum Action : int {
        HideAction = 1,
        QuitAction = 2,
    };

    static constexpr int MinimumWidth = 810;
    static constexpr int MinimumHeight = 700;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sizes and centres the window on the primary screen, follows the director's signals and
    // shows the window.
    void attach(OrvixDirector* director);
    // Stops following the director's signals and forgets it.
    void detach();
    OrvixDirector* director() const;

    // Visible and the active window.
    bool isTotallyVisible() const;
    // Shows, activates and raises the window.
    void show();
    // A modal question box; the index of the clicked button in buttons, or -1.
    int showQuestion(const QString& title, const QString& text, const QStringList& buttons);
    // Quit switches the dongle's automatic mouse zeroing on (when a dongle is connected) and
    // then ends the run; hide hides the window through the director.
    void perform(int action, OX::Page* page = nullptr);

    // The size attach gives the window for an available screen area of availableHeight and a
    // window of aspect ratio width / height.
    static QSize fittedSize(int availableHeight, double aspect);

    // What the window shows (tests read it).
    QString dongleText() const;
    QString headsetText() const;

public slots:
    void onDongleConnected(Dongle* dongle);
    void onDongleDisconnected(Dongle* dongle, DongleResult result);
    void onDongleNotConnected(Dongle* dongle, DongleResult error);
    void onDongleUpdated(Dongle* dongle, DongleChangeMask mask);
    void onHeadsetUpdated(Headset* headset, HeadsetChangeMask mask);
    void onHeadsetStatusChanged(Headset* headset, bool active);
    void onHeadsetChannelChanged(Headset* headset, int channel);
    void onSettingsChanged(Settings* settings);
    void onUpdateProgress(const Progress::Context* context);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void showDongle(Dongle* dongle);

    QPointer<OrvixDirector> m_director;
    QPointer<Dongle> m_shownDongle;
    QList<QMetaObject::Connection> m_connections;
    QLabel* m_title;
    QLabel* m_dongleLabel;
    QLabel* m_headsetLabel;
    QLabel* m_progressLabel;
    QProgressBar* m_progressBar;
    QPushButton* m_hideButton;
    QPushButton* m_quitButton;
    bool m_quitting = false;
    bool m_headsetPresent = false;
    bool m_headsetActive = false;
};
