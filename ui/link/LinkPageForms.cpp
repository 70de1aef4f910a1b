// The fourteen forms of the LINK settings page: the general form in its own tab, then the drive
// and turn forms listed in their tabs with the titles and descriptions a person reads there. Their
// order is the wizard's order.
#include "ui/link/LinkPage.h"

#include "ui/link/LinkDriveSettingForm.h"
#include "ui/link/LinkGeneralForm.h"
#include "ui/link/LinkHeadAngleForms.h"
#include "ui/toolkit/MasterDetailView.h"
#include "ui_LinkPage.h"

namespace OX
{

namespace
{

template <typename Form> LinkForm* make(LPP& record, QWidget* parent)
{
    return new Form(record, parent);
}

// One setting page of a list: its tab, form, and the title and description the list shows
// (translated in the designer form's context).
struct ListedForm {
    char const* key;
    char const* group;
    LinkForm* (*create)(LPP&, QWidget*);
    char const* title;
    char const* description;
};

const char* const InnerDeadzoneText = QT_TRANSLATE_NOOP("LinkPage",
    "Deadzone is the range of small head movements where the chair won't react to the movements of your "
    "head. This range applies to slow to average chair speed. This will also set the minimum value of your "
    "highspeed deadzone.");

const ListedForm ListedForms[] = {
    { "drive_settings", "drive", make<LinkDriveSettingForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set drive properties"),
        QT_TRANSLATE_NOOP("LinkPage",
            "Here you can change your driving gesture direction and set your reversing preferences.") },
    { "forward_movement", "drive", make<LinkMoveForwardForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set forward movement range"),
        QT_TRANSLATE_NOOP("LinkPage",
            "How do you wish to move and speed the chair forward? Start tilting your head  in the range you "
            "wish "
            "the chair to react. \n Alternatively, you can drag an move the icons on the picture.") },
    { "forward_safety_limit", "drive", make<LinkForwardSafetyLimitForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set forward safety limit"),
        QT_TRANSLATE_NOOP("LinkPage",
            "To avoid moving forward when your headset is making a very big movement (e.g. a sudden event "
            "grabs "
            "your attention), please set your safety limit.") },
    { "backward_movement", "drive", make<LinkMoveBackwardForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set backward movement range"),
        QT_TRANSLATE_NOOP("LinkPage",
            "How do you wish to move and speed the chair backwards? Start tilting your head  in the range "
            "you "
            "wish the chair to react. \n Alternatively, you can drag an move the icons on the picture.") },
    { "backward_safety_limit", "drive", make<LinkBackwardSafetyLimitForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set backward safety limit"),
        QT_TRANSLATE_NOOP("LinkPage",
            "To avoid moving backward when your headset is making a very big movement (e.g. a sudden event "
            "grabs "
            "your attention), please set your safety limit.") },
    { "drive_inner_deadzone", "drive", make<LinkForwardSlowspeedForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set slowspeed deadzone"), InnerDeadzoneText },
    { "drive_outer_deadzone", "drive", make<LinkForwardHighSpeedForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set highspeed deadzone"),
        QT_TRANSLATE_NOOP("LinkPage",
            "Deadzone is the range of small head movements where the chair won't react to the movements of "
            "your "
            "head. This setting applies to maximum chair speed. To lower the zone values, change the "
            "slowspeed "
            "deadzone settings first.") },
    { "right_movement", "turn", make<LinkTurningRightForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set turning right"),
        QT_TRANSLATE_NOOP("LinkPage",
            "Press Start and tilt or turn your head in the range you wish the chair to react and move to the "
            "right. \n Alternatively, you can drag an move the icons on the picture. ") },
    { "right_safety_limit", "turn", make<LinkRightSafetyLimitForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set safety limit to the right"),
        QT_TRANSLATE_NOOP("LinkPage",
            "To avoid turning to the right when your headset is making a very big movement (e.g. a sudden "
            "event "
            "grabs your attention), please set your safety limit.") },
    { "left_movement", "turn", make<LinkTurningLeftForm>, QT_TRANSLATE_NOOP("LinkPage", "Set turning left"),
        QT_TRANSLATE_NOOP("LinkPage",
            "Press Start and tilt or turn your head in the range you wish the chair to react and move to the "
            "left. \n Alternatively, you can drag an move the icons on the picture.") },
    { "left_safety_limit", "turn", make<LinkLeftSafetyLimitForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set safety limit to the left"),
        QT_TRANSLATE_NOOP("LinkPage",
            "To avoid turning to the left when your headset is making a very big movement (e.g. a sudden "
            "event "
            "grabs your attention), please set your safety limit.") },
    { "turn_inner_deadzone", "turn", make<LinkTurningSlowspeedform>,
        QT_TRANSLATE_NOOP("LinkPage", "Set slowpeed deadzone"), InnerDeadzoneText },
    { "turn_outer_deadzone", "turn", make<LinkTurningHighspeedForm>,
        QT_TRANSLATE_NOOP("LinkPage", "Set highspeed deadzone"),
        QT_TRANSLATE_NOOP("LinkPage",
            "Deadzone is the range of small head movements where the chair won't react to the movements of "
            "your "
            "head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed "
            "deadzone settings first.") },
};

const char* const GeneralKey = "general";

// The help section of each tab.
struct HelpAnchor {
    char const* group;
    char const* anchor;
};

const HelpAnchor HelpAnchors[] = {
    { "general", "link_settings_general_anchor" },
    { "drive", "link_settings_forward_anchor" },
    { "turn", "link_settings_turn_anchor" },
};

} // namespace

void LinkPage::buildNavigator()
{
    QMap<QString, QString> anchors;
    for (HelpAnchor const& help : HelpAnchors)
        anchors.insert(QString::fromLatin1(help.group), QString::fromLatin1(help.anchor));
    auto add = [&](char const* key, char const* group) {
        m_navigator.addPage(QString::fromLatin1(key), QString::fromLatin1(group), QString());
        m_helpAnchors.insert(QString::fromLatin1(key), anchors.value(QString::fromLatin1(group)));
    };
    add(GeneralKey, GeneralKey);
    for (ListedForm const& listed : ListedForms)
        add(listed.key, listed.group);
}

void LinkPage::buildForms()
{
    auto* general = new LinkGeneralForm(m_parameters, this);
    watch(general);
    m_forms.insert(QString::fromLatin1(GeneralKey), general);
    m_ui->general->setForm(general);
    for (ListedForm const& listed : ListedForms) {
        LinkForm* form = listed.create(m_parameters, this);
        watch(form);
        m_forms.insert(QString::fromLatin1(listed.key), form);
        auto* view = qobject_cast<MasterDetailView*>(tabByName(QString::fromLatin1(listed.group)));
        if (view)
            view->addPage(QString::fromLatin1(listed.key), listed.title, listed.description, form);
    }
}

void LinkPage::watch(LinkForm* form)
{
    connect(form, &LinkForm::parametersChanged, this, &LinkPage::onLinkParametersChanged);
}

LinkForm* LinkPage::form(QString const& key) const
{
    return m_forms.value(key, nullptr);
}

} // namespace OX
