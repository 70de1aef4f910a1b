#include "ui/link/LinkDriveSettingForm.h"

#include "ui_LinkDriveSettingForm.h"

#include <QSignalBlocker>

#include <cmath>

namespace OX
{

namespace
{

// The byte values a user's toggle writes; a record may hold others (any non-zero is reversed).
constexpr uchar PolarityNormal = 0;
constexpr uchar PolarityReversed = 1;
constexpr uchar SoundOff = 0;
constexpr uchar SoundOn = 1;

} // namespace

LinkDriveSettingForm::LinkDriveSettingForm(LPP& parameters, QWidget* parent)
    : LinkForm(parameters, parent)
    , m_ui(std::make_unique<Ui::LinkDriveSettingForm>())
{
    m_ui->setupUi(this);
    connect(m_ui->reverseDriveCheckBox, &QCheckBox::stateChanged, this,
        &LinkDriveSettingForm::onReverseDriveChanged);
    connect(m_ui->reversingAudioCheckbox, &QCheckBox::stateChanged, this,
        &LinkDriveSettingForm::onReversingAudioChanged);
    connect(m_ui->reversingDelaySlider, &QAbstractSlider::valueChanged, this,
        &LinkDriveSettingForm::onReversingDelayChanged);
    updateUi(LPP::ChangeMask::all);
}

LinkDriveSettingForm::~LinkDriveSettingForm() = default;

void LinkDriveSettingForm::updateUi(LPP::ChangeMask mask)
{
    auto has = [mask](quint32 bit) { return (mask & bit) == bit; };
    if (has(LPP::ChangeMask::movePolarityVertical)) {
        const QSignalBlocker blocker(m_ui->reverseDriveCheckBox);
        m_ui->reverseDriveCheckBox->setChecked(m_lpp.movePolarityVertical != PolarityNormal);
    }
    if (has(LPP::ChangeMask::reverseSoundEnabled)) {
        const QSignalBlocker blocker(m_ui->reversingAudioCheckbox);
        m_ui->reversingAudioCheckbox->setChecked(m_lpp.reverseSoundEnabled == SoundOn);
    }
    if (has(LPP::ChangeMask::backTiltDelay)) {
        // The slider shows tenths of a second; a delay outside its range shows at its end.
        const double scale = m_ui->reversingDelaySlider->valueDisplayScale();
        m_ui->reversingDelaySlider->setValue(int(std::lround(m_lpp.getBackTiltDelaySeconds() / scale)));
        m_delayShown = { m_ui->reversingDelaySlider->value(), m_lpp.backTiltDelay };
    }
}

void LinkDriveSettingForm::retranslate()
{
    m_ui->retranslateUi(this);
}

void LinkDriveSettingForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LinkForm::changeEvent(event);
}

void LinkDriveSettingForm::onReverseDriveChanged(int state)
{
    m_lpp.movePolarityVertical = state == Qt::Checked ? PolarityReversed : PolarityNormal;
    emit parametersChanged(LPP::ChangeMask::movePolarityVertical);
}

void LinkDriveSettingForm::onReversingAudioChanged(int state)
{
    m_lpp.reverseSoundEnabled = state == Qt::Checked ? SoundOn : SoundOff;
    emit parametersChanged(LPP::ChangeMask::reverseSoundEnabled);
    updateUi(LPP::ChangeMask::reverseSoundEnabled);
}

void LinkDriveSettingForm::onReversingDelayChanged(int value)
{
    if (value == m_delayShown.position)
        m_lpp.backTiltDelay = uchar(m_delayShown.raw);
    else
        m_lpp.setBackTiltDelaySeconds(value * m_ui->reversingDelaySlider->valueDisplayScale());
    emit parametersChanged(LPP::ChangeMask::backTiltDelay);
}

} // namespace OX
