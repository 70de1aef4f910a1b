#pragma once
// Decides which step of a wizard follows which: given the position of the step being left, the
// position of the step to show next. A position outside the wizard's steps means "stay".
namespace OX
{

class WizardDelegate
{
public:
    virtual ~WizardDelegate() = default;

    virtual int wizardStepForward(int position) { return position + 1; }
    virtual int wizardStepBackward(int position) { return position - 1; }
};

} // namespace OX
