#pragma once
// The system overview: the dongle's and the headset's versions, serials, network, state, battery
// and calibration, and a 3D headset that turns with the wearer's head. It holds no device state:
// every value is written from the dongle and headset handed to its two update hooks, and a
// headset that is lost, absent or has failed shows as "-" with the model grey and still, as do the
// version, build and serial of a device whose identity record never came.
#include "protocol/Records.h"
#include "ui/toolkit/Page.h"

#include <memory>
#include <optional>

class Ui_StatusPage;

namespace OX
{

class OpenGLView;

class StatusPage : public Page
{
    Q_OBJECT
public:
    StatusPage(PageContainer* container, QWidget* parent = nullptr);
    ~StatusPage() override;

    // reset takes the current head pose as straight ahead; the rest goes to the base page.
    bool perform(PageAction action) override;
    void retranslate() override;
    // The base page's life-cycle serves: texts on appearing, leaving at once.
    // Rewrites all seven dongle values whatever the mask; without a dongle writes "-" and goes back.
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;
    // found refreshes everything; lost clears without looking at the headset.
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;

    OpenGLView* view() const { return m_view; }

private:
    void clearHeadset();
    void refreshHeadset(Headset* headset, HeadsetChangeMask mask);

    // The headset values the rows without a change bit of their own show, so that a status rewrites
    // them only when one changed; none after a clear.
    struct ShownHeadset {
        DongleVersion version;
        QString serial;
        quint16 pan = 0;
        quint16 address = 0;
        uchar fusionMode = 0;
        uchar calibration = 0;
        uchar state = 0;
    };

    OpenGLView* m_view;
    std::unique_ptr<Ui_StatusPage> m_ui;
    std::optional<ShownHeadset> m_shown;
};

} // namespace OX
