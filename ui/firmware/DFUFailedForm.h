#pragma once
// Shown by the page when a step fails, with the reason; outside the step order. Next stays
// disabled; the user leaves the page.
#include "ui/firmware/DFUForm.h"

#include <memory>

namespace Ui
{
class DFUFailedForm;
}

namespace OX
{

class DFUFailedForm : public DFUForm
{
    Q_OBJECT
public:
    DFUFailedForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFUFailedForm() override;

    void retranslate() override;
    void retranslateForm() override;
    void pageWillAppear() override;
    // The reason shown.
    void setMessage(const QString& message);
    QString message() const;

private:
    std::unique_ptr<::Ui::DFUFailedForm> m_ui;
};

} // namespace OX
