// The profiles page: the form, loading the controls and the edits of the edited profile. The
// uploads, the trial and the list operations are in ProfilesPageActions.cpp.
#include "ui/pages/ProfilesPage.h"

#include <QApplication>

#include "ui_ProfilesPage.h"

#include "app/OrvixDirector.h"
#include "app/Settings.h"
#include "device/Dongle.h"
#include "ui/pages/ProfileListModel.h"
#include "ui/toolkit/PageContainer.h"

#include <QAbstractItemDelegate>
#include <QSignalBlocker>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace OX
{

namespace
{

// The dongle parameters behind the record setters.
constexpr uchar AutoZeroCommand = 18;
constexpr uchar ACATKeyCommand = 24;
constexpr uchar MouseSpeedCommand = 26;

// A stored fraction as a slider position: the percent byte the dongle is sent for it, so that
// the handle never shows a value other than the one uploaded (0.145 goes out as 15, and shows
// so), and every position a slider stored (position / 100) shows as that position again.
int sliderPosition(float fraction)
{
    static_assert(ProfilesPage::SliderScale == 100, "the sliders show the dongle's percent");
    return Dongle::percentFromFraction(fraction);
}

float fractionOf(int position)
{
    return float(position) / float(ProfilesPage::SliderScale);
}

Qt::CheckState checkState(bool on)
{
    return on ? Qt::Checked : Qt::Unchecked;
}

// Sets a check box without running its slot: loading shows the profile, it never edits it.
void showChecked(QCheckBox* box, bool on)
{
    const QSignalBlocker blocker(box);
    box->setCheckState(checkState(on));
}

// Shows page index of a stack, which then takes the height of that page alone.
void showStackPage(QStackedWidget* stack, int index)
{
    for (int i = 0; i < stack->count(); ++i) {
        const auto vertical = i == index ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        stack->widget(i)->setSizePolicy(QSizePolicy::Preferred, vertical);
    }
    stack->setCurrentIndex(index);
    stack->updateGeometry();
}

} // namespace

ProfilesPage::ProfilesPage(PageContainer* container, QWidget* parent)
    : Page(container, parent)
    , m_ui(std::make_unique<Ui::ProfilesPage>())
    , m_edited(nullptr)
    , m_tried(nullptr)
{
    m_trialTimer.setTimerType(Qt::PreciseTimer);
    m_trialTimer.setSingleShot(false);
    m_ui->setupUi(this);

    m_ui->pointAndClickButton->setSegmentPosition(SegmentButton::Left);
    m_ui->moveAndClickButton->setSegmentPosition(SegmentButton::Middle);
    m_ui->singleKeystrokeButton->setSegmentPosition(SegmentButton::Right);
    m_ui->scModeAutomaticButton->setSegmentPosition(SegmentButton::Left);
    m_ui->scModeTimerButton->setSegmentPosition(SegmentButton::Right);
    m_ui->hmHorizontalAngleView->setOrientation(Qt::Horizontal);
    m_ui->hmVerticalAngleView->setOrientation(Qt::Vertical);
    m_ui->hmHorizontalAngleView->setMaxAngle(MaxViewAngleDegrees);
    m_ui->hmVerticalAngleView->setMaxAngle(MaxViewAngleDegrees);
    setControlMode(MouseMode::Absolute);

    m_listModel = new ProfileListModel(this);
    m_ui->mouseProfilesListView->setModel(m_listModel);

    connect(this, &ProfilesPage::updateProfile, this, &ProfilesPage::onProfileChanged, Qt::DirectConnection);
    connect(this, &ProfilesPage::updateFooter, this, &ProfilesPage::onUpdateFooter, Qt::DirectConnection);
    connect(this, &ProfilesPage::showError, this, &ProfilesPage::onShowError, Qt::DirectConnection);
    connect(&m_trialTimer, &QTimer::timeout, this, &ProfilesPage::onTestingFinished);
    connect(m_ui->skButton, &KeyboardButton::keyCodeChanged, this, &ProfilesPage::onACATKeyCodeChanged);
    connectForm();
}

ProfilesPage::~ProfilesPage() = default;

void ProfilesPage::connectForm()
{
    Ui::ProfilesPage* ui = m_ui.get();
    connect(ui->pointAndClickButton, &QPushButton::clicked, this, &ProfilesPage::onAbsoluteChosen);
    connect(ui->moveAndClickButton, &QPushButton::clicked, this, &ProfilesPage::onRelativeChosen);
    connect(ui->singleKeystrokeButton, &QPushButton::clicked, this, &ProfilesPage::onSingleKeystrokeChosen);
    connect(ui->scModeAutomaticButton, &QPushButton::clicked, this, &ProfilesPage::onAutomaticCenterChosen);
    connect(ui->scModeTimerButton, &QPushButton::clicked, this, &ProfilesPage::onTimerCenterChosen);
    connect(ui->scTiming, &QTimeEdit::timeChanged, this, &ProfilesPage::onCenterTimeChanged);
    connect(ui->scAudioFeedback, &QCheckBox::stateChanged, this, &ProfilesPage::onAudioFeedbackToggled);
    connect(ui->scVisualFeedback, &QCheckBox::stateChanged, this, &ProfilesPage::onVisualFeedbackToggled);
    connect(ui->tremorFilter_pac, &Slider::valueChanged, this, &ProfilesPage::onTremorFilterChanged);
    connect(ui->tremorFilter_mac, &Slider::valueChanged, this, &ProfilesPage::onTremorFilterChanged);
    connect(ui->hmHorizontalRange, &Slider::valueChanged, this, &ProfilesPage::onHorizontalRangeChanged);
    connect(ui->hmVertialRange, &Slider::valueChanged, this, &ProfilesPage::onVerticalRangeChanged);
    connect(ui->hmAutoRange, &QCheckBox::stateChanged, this, &ProfilesPage::onAutoRangeToggled);
    connect(ui->mouseSpeed, &Slider::valueChanged, this, &ProfilesPage::onMouseSpeedChanged);
    connect(ui->skButton, &QToolButton::toggled, this, &ProfilesPage::onKeyCaptureToggled);
    connect(ui->addProfileButton, &QToolButton::clicked, this, &ProfilesPage::onAddProfileClicked);
    connect(ui->removeProfileButton, &QToolButton::clicked, this, &ProfilesPage::onRemoveProfileClicked);
    connect(ui->resetProfileButton, &QToolButton::clicked, this, &ProfilesPage::onResetProfileClicked);
    // A click selects (and uploads) only once it cannot be the first of a double click, which
    // edits the row's name and nothing else.
    m_rowClick.setSingleShot(true);
    connect(ui->mouseProfilesListView, &QListView::clicked, this, [this](QModelIndex const& index) {
        m_clickedRow = index;
        m_clickVisit = visit();
        m_rowClick.start(QApplication::doubleClickInterval());
    });
    connect(ui->mouseProfilesListView, &QListView::doubleClicked, &m_rowClick, &QTimer::stop);
    connect(&m_rowClick, &QTimer::timeout, this, [this] {
        if (m_clickedRow.isValid() && visit() == m_clickVisit)
            onProfileClicked(m_clickedRow);
    });
    connect(m_listModel, &QAbstractItemModel::dataChanged, this,
        [this](QModelIndex const& topLeft) { onRowRenamed(topLeft); });
    // The double click that opened the name's editor made its row the highlighted one; once the
    // editor closes, renamed or not, the highlight is the selected profile's again.
    connect(ui->mouseProfilesListView->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] {
        if (Settings* settings = container->getSettings())
            showSelectedRow(*settings);
    });
}

void ProfilesPage::showSelectedRow(Settings const& settings)
{
    m_ui->mouseProfilesListView->setCurrentIndex(m_listModel->index(settings.selectedIndex(), 0));
}

// ---- loading -------------------------------------------------------------------------------

void ProfilesPage::updateUi(Settings const& settings, bool reloadList)
{
    if (reloadList) {
        m_loadingList = true;
        m_listModel->setStringList(settings.profileNames());
        m_loadingList = false;
        showSelectedRow(settings);
    }
    setControlMode(m_edited.controlMode());
    setAutoZero(m_edited.autoZeroEnable(), m_edited.zeroTimeInterval() / 1000);
    // In automatic mode the crosshair box stays off and disabled (setAutoZero), whatever the
    // profile holds: automatic set-center has no crosshair.
    if (!m_edited.autoZeroEnable())
        showChecked(m_ui->scVisualFeedback, m_edited.visualFeedback());
    showChecked(m_ui->scAudioFeedback, m_edited.audioFeedback());

    const int tremor = sliderPosition(m_edited.tremorFilter());
    m_ui->tremorFilter_pac->setValue(tremor);
    m_ui->tremorFilter_mac->setValue(tremor);
    m_ui->hmHorizontalAngleView->setValue(m_edited.horizontalViewAnglePercent());
    m_ui->hmHorizontalRange->setValue(sliderPosition(m_edited.horizontalViewAnglePercent()));
    m_ui->hmVerticalAngleView->setValue(m_edited.verticalViewAnglePercent());
    m_ui->hmVertialRange->setValue(sliderPosition(m_edited.verticalViewAnglePercent()));
    showChecked(m_ui->hmAutoRange, m_edited.autorange());
    m_ui->mouseSpeed->setValue(sliderPosition(m_edited.mouseSpeedPercent()));

    m_ui->skButton->setKeyCode(m_edited.ACATKeyCode());
    m_ui->skButton->update();
    emit updateFooter();
}

void ProfilesPage::setControlMode(MouseMode mode)
{
    SegmentButton* button = nullptr;
    int general = 0;
    int special = 0;
    switch (mode) {
    case MouseMode::Absolute:
        button = m_ui->pointAndClickButton;
        break;
    case MouseMode::Relative:
        button = m_ui->moveAndClickButton;
        special = 1;
        break;
    case MouseMode::ACAT:
        button = m_ui->singleKeystrokeButton;
        general = 1;
        special = 2;
        break;
    default:
        return;
    }
    button->setChecked(true);
    showStackPage(m_ui->generalParametersStack, general);
    showStackPage(m_ui->specialParametersStack, special);
}

void ProfilesPage::setAutoZero(bool automatic, int seconds)
{
    const bool wasBlocked = m_ui->scTiming->blockSignals(true);
    if (automatic) {
        m_ui->scModeAutomaticButton->setChecked(true);
        m_ui->scTiming->setEnabled(false);
        m_ui->scTiming->setTime(QTime(0, 0, 0));
        m_ui->scVisualFeedback->setEnabled(false);
        showChecked(m_ui->scVisualFeedback, false);
    } else {
        m_ui->scModeTimerButton->setChecked(true);
        m_ui->scTiming->setEnabled(true);
        // The edit shows the countdown the interval gives: one it cannot show (a minute or
        // more, below zero) counts the default, which is shown instead of what it showed before.
        // The profile keeps its interval until the person sets one.
        m_ui->scTiming->setTime(QTime(0, 0, OrvixDirector::countdownMs(seconds * 1000) / 1000));
        m_ui->scVisualFeedback->setEnabled(true);
        showChecked(m_ui->scVisualFeedback, m_edited.visualFeedback());
    }
    m_ui->scTiming->blockSignals(wasBlocked);
}

// ---- edits -----------------------------------------------------------------------------------

void ProfilesPage::onAbsoluteChosen()
{
    setControlMode(MouseMode::Absolute);
    m_edited.setControlMode(MouseMode::Absolute);
    emit updateFooter();
}

void ProfilesPage::onRelativeChosen()
{
    setControlMode(MouseMode::Relative);
    m_edited.setControlMode(MouseMode::Relative);
    emit updateFooter();
}

void ProfilesPage::onSingleKeystrokeChosen()
{
    setControlMode(MouseMode::ACAT);
    m_edited.setControlMode(MouseMode::ACAT);
    emit updateFooter();
}

void ProfilesPage::onAutomaticCenterChosen()
{
    setAutoZero(true, 0);
    m_edited.setAutoZero(DCPAutoZero(AutoZeroCommand, 0, 1));
    // Automatic set-center has no crosshair: the user's choice turns it off in the profile.
    m_edited.setVisualFeedback(false);
    emit updateFooter();
}

void ProfilesPage::onTimerCenterChosen()
{
    setAutoZero(false, m_edited.zeroTimeInterval() / 1000);
    m_edited.setAutoZero(DCPAutoZero(AutoZeroCommand, 0, 0));
    emit updateFooter();
}

void ProfilesPage::onCenterTimeChanged(QTime const& time)
{
    m_edited.setZeroTimeInterval(time.second() * 1000);
    emit updateFooter();
}

void ProfilesPage::onAudioFeedbackToggled(int state)
{
    m_edited.setAudioFeedback(state != 0);
    emit updateFooter();
}

void ProfilesPage::onVisualFeedbackToggled(int state)
{
    m_edited.setVisualFeedback(state != 0);
    emit updateFooter();
}

void ProfilesPage::onTremorFilterChanged(int value)
{
    m_edited.setTremorFilter(fractionOf(value));
    // Both pages show the one filter.
    m_ui->tremorFilter_pac->setValue(value);
    m_ui->tremorFilter_mac->setValue(value);
    emit updateFooter();
}

void ProfilesPage::onHorizontalRangeChanged(int value)
{
    m_edited.setHorizontalViewAnglePercent(fractionOf(value));
    m_ui->hmHorizontalAngleView->setValue(fractionOf(value));
    emit updateFooter();
}

void ProfilesPage::onVerticalRangeChanged(int value)
{
    m_edited.setVerticalViewAnglePercent(fractionOf(value));
    m_ui->hmVerticalAngleView->setValue(fractionOf(value));
    emit updateFooter();
}

void ProfilesPage::onAutoRangeToggled(int state)
{
    m_edited.setAutorange(state != 0);
    emit updateFooter();
}

void ProfilesPage::onMouseSpeedChanged(int value)
{
    const float p = fractionOf(value);
    const double percent = std::min(std::max(double(p) * SliderScale, 0.0), double(SliderScale));
    const auto msb = uchar(std::floor(percent + 0.5));
    m_edited.setMouseSpeed(DCPMouseSpeed(MouseSpeedCommand, 0, msb));
    emit updateFooter();
}

void ProfilesPage::onKeyCaptureToggled(bool on)
{
    if (on)
        m_ui->skButton->beginAssign();
    else
        m_ui->skButton->endAssign();
    showSkTodoText();
    emit updateFooter();
}

void ProfilesPage::showSkTodoText()
{
    m_ui->skTodoText->setText(m_ui->skButton->isChecked()
            ? tr("Press any keyboard button to assign")
            : tr("Press the button to assign a keyboard button"));
}

void ProfilesPage::onACATKeyCodeChanged(KeyCode key)
{
    if (key == m_edited.ACATKeyCode())
        return;
    m_edited.setACATKey(DCPACATKey(ACATKeyCommand, 0, key));
    emit updateFooter();
}

// ---- footer and appearing ------------------------------------------------------------------

Settings* ProfilesPage::selectionSettings() const
{
    Settings* settings = container->getSettings();
    return settings && settings->hasSelectedProfile() ? settings : nullptr;
}

void ProfilesPage::onUpdateFooter()
{
    if (!isVisit(visit()))
        return; // the footer belongs to the page on screen
    Settings* settings = container->getSettings();
    if (!settings)
        return;
    // With no profile selected (the last one removed) there is nothing to apply the edits to.
    if (!settings->hasSelectedProfile() || settings->selectedProfile()->isEqual(m_edited, false)) {
        container->setRight(QString(), PageAction::none, nullptr, PageFooter::MainButton);
        return;
    }
    container->setRight(tr("Apply"), PageAction::apply, this, PageFooter::MainButton);
    container->setRight(tr("Try It"), PageAction::tryIt, this, PageFooter::AlternativeButton);
}

void ProfilesPage::onProfileChanged()
{
    Settings* settings = selectionSettings();
    if (!settings)
        return;
    m_edited = *settings->selectedProfile();
    updateUi(*settings, false);
}

void ProfilesPage::retranslate()
{
    m_ui->retranslateUi(this);
    showSkTodoText();
    container->setTitle(tr("Mouse Profiles"));
    container->setSubtitle(QString());
    container->setLeft(tr("Back"), PageAction::back, this);
    retranslateDialogs();
    emit updateFooter();
}

void ProfilesPage::pageWillAppear(QString const& from)
{
    if (Settings* settings = selectionSettings()) {
        m_edited = *settings->selectedProfile();
        updateUi(*settings, true);
    } else if (Settings* settings = container->getSettings()) {
        // Nothing selected: the list is still shown, the controls keep what they show.
        m_loadingList = true;
        m_listModel->setStringList(settings->profileNames());
        m_loadingList = false;
    }
    Page::pageWillAppear(from);
}

void ProfilesPage::pageDidAppear()
{
    Page::pageDidAppear();
    if (m_ui->skButton->isChecked()) {
        const QSignalBlocker blocker(m_ui->skButton);
        m_ui->skButton->setChecked(false);
    }
    onKeyCaptureToggled(false);
}

} // namespace OX
