#include "ui/link/LinkGeneralForm.h"

#include "ui_LinkGeneralForm.h"

#include "ui/toolkit/SliderTicks.h"

#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace OX
{

namespace
{

// Choosing Timer starts the countdown at this many seconds.
constexpr int TimerStartSeconds = 5;
// The long-press limit a newly checked box starts with, in seconds.
constexpr int LongPressStartSeconds = 1;

bool isChecked(int state)
{
    return state == Qt::Checked;
}

} // namespace

LinkGeneralForm::LinkGeneralForm(LPP& parameters, QWidget* parent)
    : LinkForm(parameters, parent)
    , m_ui(std::make_unique<Ui::LinkGeneralForm>())
{
    m_ui->setupUi(this);
    m_ui->stTimerDelay->setAttribute(Qt::WA_MacShowFocusRect, false);
    // The style sheet takes the style's own tick marks away: one below every second.
    SliderTicks::install(m_ui->fthsLongPressSlider);

    connect(m_ui->scModeTimerButton, &QAbstractButton::clicked, this, &LinkGeneralForm::onCenterTimerPressed);
    connect(m_ui->stTimerDelay, qOverload<int>(&QSpinBox::valueChanged), this,
        &LinkGeneralForm::onCenterDelayEdited);
    connect(m_ui->tfSlider, &QAbstractSlider::valueChanged, this, &LinkGeneralForm::onTremorFilterChanged);
    connect(m_ui->fthsEnableCheckBox, &QCheckBox::stateChanged, this, &LinkGeneralForm::onFifthSwitchToggled);
    connect(m_ui->fthsLongPressCheckBox, &QCheckBox::stateChanged, this,
        &LinkGeneralForm::onFifthSwitchLongPressToggled);
    connect(
        m_ui->fthsLongPressSlider, &QSlider::valueChanged, this, &LinkGeneralForm::onFifthSwitchDelayChanged);
}

LinkGeneralForm::~LinkGeneralForm() = default;

void LinkGeneralForm::updateUi(LPP::ChangeMask mask)
{
    auto has = [mask](quint32 bit) { return (mask & bit) == bit; };
    if (has(LPP::ChangeMask::centerDelay))
        showCenterDelay();
    if (has(LPP::ChangeMask::tremorFilter)) {
        m_ui->tfSlider->setValue(int(std::lround(m_lpp.getTremorFilterValue())));
        // Set back where it was shown, the slider means the LINK's own value again, unless that
        // value lies beyond the record's limit: 100 % is then the limit, which may be sent.
        if (m_lpp.tremorFilter <= LPP::TremorFilterMax)
            m_tremorShown = { m_ui->tfSlider->value(), m_lpp.tremorFilter };
        else
            m_tremorShown = {};
    }
    if (has(LPP::ChangeMask::fifthSwitchDelay))
        showFifthSwitch();
}

void LinkGeneralForm::showCenterDelay()
{
    // The edit only shows the record: its own change signal would write it back.
    const QSignalBlocker blocker(m_ui->stTimerDelay);
    // The edit holds every delay the LINK does, a minute or more too, in whole seconds.
    const int seconds = int(m_lpp.getCenterDelay());
    if (seconds != 0)
        m_ui->scModeTimerButton->setChecked(true);
    else
        m_ui->scModeAutomaticButton->setChecked(true);
    m_ui->stTimerDelay->setValue(seconds);
    m_ui->stTimerDelay->setEnabled(seconds != 0);
}

void LinkGeneralForm::showFifthSwitch()
{
    const QSignalBlocker enableBlocker(m_ui->fthsEnableCheckBox);
    const QSignalBlocker longPressBlocker(m_ui->fthsLongPressCheckBox);
    const QSignalBlocker sliderBlocker(m_ui->fthsLongPressSlider);
    const bool on = m_lpp.isFifthSwitchEnable();
    const int delay = m_lpp.getFifthSwitchDelay();
    const bool limited = on && delay > 0;
    m_ui->fthsEnableCheckBox->setChecked(on);
    m_ui->fthsLongPressText->setEnabled(on);
    m_ui->fthsLongPressCheckBox->setEnabled(on);
    m_ui->fthsLongPressCheckBox->setChecked(limited);
    m_ui->fthsLongPressSlider->setEnabled(limited);
    m_ui->fthsLongPressSlider->setValue(limited ? delay : 0);
    m_ui->fthsLongPressDelay->setText(limited ? QStringLiteral("%1").arg(delay) : QStringLiteral("0"));
    m_ui->fthsLongPressDelay->setEnabled(limited);
    m_ui->fthsLongPressUnit->setEnabled(limited);
}

void LinkGeneralForm::retranslate()
{
    m_ui->retranslateUi(this);
}

void LinkGeneralForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LinkForm::changeEvent(event);
}

void LinkGeneralForm::onCenterTimerPressed()
{
    m_lpp.setCenterDelay(TimerStartSeconds);
    updateUi(LPP::ChangeMask::centerDelay);
    emit parametersChanged(LPP::ChangeMask::centerDelay);
}

void LinkGeneralForm::onCenterDelayEdited(int seconds)
{
    m_lpp.setCenterDelay(seconds);
    // A delay of 0 is automatic centring on the LINK: the mode shown says so at once. The edit
    // stays enabled while the person types in it.
    const bool automatic = m_lpp.getCenterDelay() == 0;
    (automatic ? m_ui->scModeAutomaticButton : m_ui->scModeTimerButton)->setChecked(true);
    emit parametersChanged(LPP::ChangeMask::centerDelay);
}

void LinkGeneralForm::onTremorFilterChanged(int value)
{
    if (value == m_tremorShown.position)
        m_lpp.tremorFilter = quint16(m_tremorShown.raw);
    else
        m_lpp.setTremorFilter(value);
    emit parametersChanged(LPP::ChangeMask::tremorFilter);
}

void LinkGeneralForm::onFifthSwitchToggled(int state)
{
    m_lpp.setFifthSwitchEnable(isChecked(state));
    updateUi(LPP::ChangeMask::fifthSwitchDelay);
    emit parametersChanged(LPP::ChangeMask::fifthSwitchDelay);
}

void LinkGeneralForm::onFifthSwitchLongPressToggled(int state)
{
    if (isChecked(state))
        m_lpp.setFifthSwitchDelay(LongPressStartSeconds);
    else if (m_lpp.isFifthSwitchEnable())
        m_lpp.setFifthSwitchDelay(0);
    updateUi(LPP::ChangeMask::fifthSwitchDelay);
    emit parametersChanged(LPP::ChangeMask::fifthSwitchDelay);
}

void LinkGeneralForm::onFifthSwitchDelayChanged(int value)
{
    m_lpp.setFifthSwitchDelay(value);
    updateUi(LPP::ChangeMask::fifthSwitchDelay);
    emit parametersChanged(LPP::ChangeMask::fifthSwitchDelay);
}

} // namespace OX
