#pragma once
// The end of a successful update: the instructions to leave firmware update mode. Next stays
// disabled; the wizard ends here.
#include "ui/firmware/DFUForm.h"
#include "ui/toolkit/Page.h"

#include <memory>

namespace Ui
{
class DFUSucceededForm;
}

namespace OX
{

class DFUSucceededForm : public DFUForm
{
    Q_OBJECT
public:
    DFUSucceededForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);
    ~DFUSucceededForm() override;

    void retranslate() override;
    void retranslateForm() override;
    void pageWillAppear() override;
    // What the step tells, as a message: the update succeeded, and how to leave firmware update
    // mode.
    Page::Question outcome() const;

private:
    std::unique_ptr<::Ui::DFUSucceededForm> m_ui;
};

} // namespace OX
