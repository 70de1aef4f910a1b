#pragma once
// The view controller of a single LINK form: it shows the form, replaces (and deletes) it when
// given another, and hands it parameter changes and language changes.
#include "protocol/LPP.h"
#include "ui/toolkit/ViewController.h"

class QVBoxLayout;

namespace OX
{

class LinkForm;

class LinkViewController : public ViewController
{
    Q_OBJECT
public:
    explicit LinkViewController(QWidget* parent = nullptr);

    // Shows form in place of the one shown before, which is deleted.
    void setForm(LinkForm* form);
    LinkForm* form() const { return m_form; }

    // The form redraws the fields in mask (the identifier names nothing here).
    virtual void updateUi(const QString& identifier, LPP::ChangeMask mask);
    void retranslate() override;

private:
    QVBoxLayout* m_layout = nullptr;
    LinkForm* m_form = nullptr;
};

} // namespace OX
