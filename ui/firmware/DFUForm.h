#pragma once
// One step of the LINK firmware wizard. The page drives a step only through the operations
// below and a step reaches the page only through its DFUFormDelegate. A step allows a move by
// calling the completion it is given; a step that never calls it keeps the wizard where it is.
//
// The page also tells a step when it comes on screen and when it goes (switched away, the page
// left, the dongle lost). Work a step started answers later through callbacks; a step keeps the
// page's visit token with it (visit) and lets such an answer act only while that visit runs and
// the step is still the one on screen (isVisit), so nothing that ends after the step was left
// reaches the wizard.
#include <QLabel>
#include <QWidget>

#include <initializer_list>

#include <functional>

namespace OX
{

class DFUFormDelegate;

class DFUForm : public QWidget
{
    Q_OBJECT
public:
    enum NavigationDirection : int { Forward = 1, Backward = 2 };

    DFUForm(DFUFormDelegate& delegate, QWidget* parent = nullptr);

    // Re-applies the step's title and Next text.
    virtual void retranslate() = 0;
    // The default calls retranslate().
    virtual void pageWillAppear();
    virtual bool pageShouldDisappear();
    // The default calls done at once.
    virtual void pageWillDisappear(std::function<void()> done);
    // The default repaints the form.
    virtual void pageDidAppear();
    virtual void pageDidDisappear();
    // The default allows the move at once.
    virtual void prepareForNavigation(NavigationDirection direction, std::function<void()> done);
    // The page was left, or its dongle lost, while this step was on screen. The step ends what
    // it waits for (its visit is already over). The default does nothing.
    virtual void pageAbandoned();

    // The page's visit token (Page::visit), asked of the page.
    quint64 visit() const;

protected:
    // A language switch sets the step's designer texts again (retranslateForm), whether or not
    // the step is on screen; the title and Next text follow when it next appears.
    void changeEvent(QEvent* event) override;
    virtual void retranslateForm() { }
    // The designer form's texts again, keeping those of the labels the step fills itself.
    template <typename Form> void retranslateKeeping(Form& form, std::initializer_list<QLabel*> kept)
    {
        QStringList texts;
        for (QLabel* label : kept)
            texts << label->text();
        form.retranslateUi(this);
        int i = 0;
        for (QLabel* label : kept)
            label->setText(texts.at(i++));
    }

public:
    // True while the page's visit numbered visit runs and this step is the one on screen in it,
    // from just before pageWillAppear until it is switched away or abandoned.
    bool isVisit(quint64 visit) const;
    bool isOnScreen() const { return isVisit(visit()); }

signals:
    // Shows a warning box with a single OK through the page (onShowError).
    void showError(const QString& title, const QString& message);

public slots:
    void onShowError(const QString& title, const QString& message);

protected:
    DFUFormDelegate& delegate;
};

} // namespace OX
