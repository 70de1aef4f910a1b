#include "ui/pages/AppearancePage.h"

#include "ui_AppearancePage.h"

#include "app/Settings.h"
#include "ui/toolkit/PageContainer.h"
#include "ui/toolkit/SliderTicks.h"

#include <QDebug>
#include <QIcon>
#include <QLocale>
#include <QSignalBlocker>

#include <cmath>

namespace OX
{

namespace
{

// The languages offered, in order, with the flag each shows. The flag comes from this table, not
// from the locale's country name, which the resources do not follow ("United States").
struct Language {
    const char* code;
    const char* flag;
};
const Language Languages[] = { { "en", ":/languages/UnitedStates" }, { "fr", ":/languages/France" },
    { "hu", ":/languages/Hungary" } };

constexpr double SliderScale = 100.0;

// A stored fraction as the slider shows it: rounded, so that writing the slider back stores the
// same value (truncating would show 0.29 as 28 and lower the setting on every visit).
int sliderValue(float fraction)
{
    return int(std::lround(double(fraction) * SliderScale));
}

float fractionOf(int sliderValue)
{
    return float(sliderValue / SliderScale);
}

int languageIndex(const QString& code)
{
    for (int i = 0; i < int(std::size(Languages)); ++i) {
        if (code == QLatin1String(Languages[i].code))
            return i;
    }
    return -1;
}

void logCheckBox(const char* text, int state, bool checked)
{
    qDebug() << text << state << " -> " << (checked ? "true" : "false");
}

} // namespace

AppearancePage::AppearancePage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::AppearancePage>())
{
    m_ui->setupUi(this);
    // The style sheet's slider rules leave the ticks the form asks for to us.
    SliderTicks::install(m_ui->sliderSidebarOpacity);
    SliderTicks::install(m_ui->sliderSidebarSize);
    for (const Language& language : Languages) {
        const QLocale locale(QLatin1String(language.code));
        m_ui->languageOptions->addItem(QIcon(QLatin1String(language.flag)),
            QLocale::languageToString(locale.language()), QLatin1String(language.code));
    }
    // The feedback option stays wired but is not offered.
    m_ui->feedbackTitle->hide();
    m_ui->cbShowVisualFeedback->hide();

    connect(m_ui->cbShowSidebar, &QCheckBox::stateChanged, this, &AppearancePage::onShowSidebarToggled);
    connect(m_ui->cbHorizontalSidebar, &QCheckBox::stateChanged, this,
        &AppearancePage::onHorizontalSidebarToggled);
    connect(m_ui->cbOpaqueOnMouseOver, &QCheckBox::stateChanged, this,
        &AppearancePage::onOpaqueOnMouseOverToggled);
    connect(m_ui->cbStickToPrimaryScreen, &QCheckBox::stateChanged, this,
        &AppearancePage::onStickToPrimaryScreenToggled);
    connect(m_ui->cbShowVisualFeedback, &QCheckBox::stateChanged, this,
        &AppearancePage::onShowVisualFeedbackToggled);
    connect(
        m_ui->sliderSidebarOpacity, &QSlider::valueChanged, this, &AppearancePage::onSidebarOpacityChanged);
    connect(m_ui->sliderSidebarSize, &QSlider::valueChanged, this, &AppearancePage::onSidebarSizeChanged);
    connect(m_ui->languageOptions, QOverload<int>::of(&QComboBox::activated), this,
        &AppearancePage::onLanguageChosen);
}

AppearancePage::~AppearancePage() = default;

void AppearancePage::updateUi()
{
    Settings* settings = container->getSettings();
    if (!settings)
        return;
    const int language = languageIndex(settings->language());
    m_ui->cbShowSidebar->setChecked(settings->sidebarVisible());
    m_ui->cbHorizontalSidebar->setChecked(settings->sidebarHorizontal());
    m_ui->sliderSidebarOpacity->setValue(sliderValue(settings->sidebarOpacity()));
    m_ui->cbOpaqueOnMouseOver->setChecked(settings->sidebarOpaqueOnMouseOver());
    m_ui->sliderSidebarSize->setValue(sliderValue(settings->sidebarScale()));
    m_ui->cbStickToPrimaryScreen->setChecked(settings->sidebarStickedToPromaryScreen());
    m_ui->cbShowVisualFeedback->setChecked(settings->feedbackOnDeviceChange());
    m_ui->languageOptions->setCurrentIndex(language);
}

void AppearancePage::resetToDefaults()
{
    Settings* settings = container->getSettings();
    if (!settings)
        return;
    settings->resetToDefaults(false);
    updateUi();
}

bool AppearancePage::perform(PageAction action)
{
    if (action == PageAction::reset) {
        resetToDefaults();
        return true;
    }
    return Page::perform(action);
}

void AppearancePage::retranslate()
{
    m_ui->retranslateUi(this);
    container->setTitle(tr("Appearance"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    container->setRight(tr("Reset"), PageAction::reset, this, PageFooter::ButtonIndex(0));
}

void AppearancePage::pageWillAppear(const QString&)
{
    retranslate();
    updateUi();
}

void AppearancePage::settingsChanged(Settings*)
{
    // Shown, not written back (they are the settings in use). A control left on an old value
    // would be moved from it: one step of the opacity slider would store the old opacity, a
    // step off, in place of the new one.
    const QSignalBlocker blockers[]
        = { QSignalBlocker(m_ui->cbShowSidebar), QSignalBlocker(m_ui->cbHorizontalSidebar),
              QSignalBlocker(m_ui->sliderSidebarOpacity), QSignalBlocker(m_ui->cbOpaqueOnMouseOver),
              QSignalBlocker(m_ui->sliderSidebarSize), QSignalBlocker(m_ui->cbStickToPrimaryScreen),
              QSignalBlocker(m_ui->cbShowVisualFeedback), QSignalBlocker(m_ui->languageOptions) };
    updateUi();
}

void AppearancePage::changeEvent(QEvent* event)
{
    // A language chosen here shows at once; a page not on screen leaves the header and footer
    // to the page that is.
    if (event->type() == QEvent::LanguageChange) {
        if (appeared)
            retranslate();
        else
            m_ui->retranslateUi(this);
    }
    Page::changeEvent(event);
}

void AppearancePage::onShowSidebarToggled(int state)
{
    const bool checked = m_ui->cbShowSidebar->isChecked();
    logCheckBox("Show sidebar: ", state, checked);
    if (Settings* settings = container->getSettings())
        settings->setSidebarVisible(checked);
}

void AppearancePage::onHorizontalSidebarToggled(int state)
{
    const bool checked = m_ui->cbHorizontalSidebar->isChecked();
    logCheckBox("Show horizontal: ", state, checked);
    if (Settings* settings = container->getSettings())
        settings->setSidebarHorizontal(checked);
}

void AppearancePage::onOpaqueOnMouseOverToggled(int state)
{
    const bool checked = m_ui->cbOpaqueOnMouseOver->isChecked();
    logCheckBox("Sidebar opaque on mouse over: ", state, checked);
    if (Settings* settings = container->getSettings())
        settings->setSidebarOpaqueOnMouseOver(checked);
}

void AppearancePage::onStickToPrimaryScreenToggled(int state)
{
    const bool checked = m_ui->cbStickToPrimaryScreen->isChecked();
    logCheckBox("Sidebar Sticky: ", state, checked);
    if (Settings* settings = container->getSettings())
        settings->setSidebarStickedToPromaryScreen(checked);
}

void AppearancePage::onShowVisualFeedbackToggled(int state)
{
    const bool checked = m_ui->cbShowVisualFeedback->isChecked();
    logCheckBox("Show visual feedback on device change: ", state, checked);
    if (Settings* settings = container->getSettings())
        settings->setFeedbackOnDeviceChange(checked);
}

// Showing a stored fraction moves the slider to it rounded to a hundredth, and the slider reports
// that move like a person's: storing it would change a value such as 0.2125 on every visit.
void AppearancePage::onSidebarOpacityChanged(int value)
{
    qDebug() << "Sidebar opacity: " << value << " -> " << m_ui->sliderSidebarOpacity->value();
    Settings* settings = container->getSettings();
    if (settings && value != sliderValue(settings->sidebarOpacity()))
        settings->setSidebarOpacity(fractionOf(value));
}

void AppearancePage::onSidebarSizeChanged(int value)
{
    qDebug() << "Sidebar size: " << value << " -> " << m_ui->sliderSidebarSize->value();
    Settings* settings = container->getSettings();
    if (settings && value != sliderValue(settings->sidebarScale()))
        settings->setSidebarScale(fractionOf(value));
}

void AppearancePage::onLanguageChosen(int)
{
    const QString code = m_ui->languageOptions->currentData().toString();
    if (Settings* settings = container->getSettings())
        settings->setLanguage(code);
    qDebug() << "language set to: (" << code << ") - " << m_ui->languageOptions->currentText();
}

} // namespace OX
