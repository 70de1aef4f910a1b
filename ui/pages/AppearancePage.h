#pragma once
// The page "Appearance": the toolbar's visibility, orientation, opacity, size, mouse-over and
// screen options, and the application's language. Every control writes its setting the moment it
// changes and reads it back each time the page appears; a visit alone never changes a setting.
#include "ui/toolkit/Page.h"

#include <memory>

namespace Ui
{
class AppearancePage;
}

namespace OX
{

class AppearancePage : public Page
{
    Q_OBJECT
public:
    AppearancePage(PageContainer* container, QWidget* parent = nullptr);
    ~AppearancePage() override;

    // Puts the stored values into the controls (nothing without settings).
    void updateUi();
    // Every plain setting back to its default, then shown.
    void resetToDefaults();

    bool perform(PageAction action) override;
    void retranslate() override;
    void pageWillAppear(const QString& from) override;
    // The settings changed under the page (a reset, a file read again): it shows them.
    void settingsChanged(Settings* settings) override;

    // Connected in the constructor (not by name): each writes its control's setting.
    void onShowSidebarToggled(int state);
    void onHorizontalSidebarToggled(int state);
    void onOpaqueOnMouseOverToggled(int state);
    void onStickToPrimaryScreenToggled(int state);
    void onShowVisualFeedbackToggled(int state);
    void onSidebarOpacityChanged(int value);
    void onSidebarSizeChanged(int value);
    void onLanguageChosen(int index);

protected:
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::AppearancePage> m_ui;
};

} // namespace OX
