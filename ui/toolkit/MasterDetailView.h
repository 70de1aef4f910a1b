#pragma once
// A numbered list of detail pages on the left and the chosen page on the right. The delegate
// hears every page that disappears and appears. A disabled entry is never opened: neither by a
// click (its button is disabled) nor by activateFirst, activateLast or setActive.
#include "ui/toolkit/LinkViewController.h"

#include <QMap>

#include <memory>

class QVBoxLayout;

namespace Ui
{
class MasterDetailView;
}

namespace OX
{

class ExpandableListView;
class ExpandableListViewItem;

class MasterDetailView : public LinkViewController
{
    Q_OBJECT
public:
    explicit MasterDetailView(QWidget* parent = nullptr);
    ~MasterDetailView() override;

    // Registers page (hidden until shown) with a list entry; false when the identifier has one.
    // Title and description are untranslated texts.
    bool addPage(const QString& identifier, const char* title, const char* description, QWidget* page);
    // Shows the page named identifier in place of the one shown; true when it is shown.
    bool showPage(const QString& identifier);
    void onMenuItemClicked(OX::ExpandableListViewItem* item);

    bool activateFirst() override;
    QString getFirstIdentifier() const override;
    bool activateLast() override;
    QString getLastIdentifier() const override;
    bool setActive(const QString& identifier) override;
    QString getActiveIdentifier() const override;
    using ViewController::setEnabled;
    void setEnabled(const QString& identifier, bool enabled) override;
    using ViewController::isEnabled;
    bool isEnabled(const QString& identifier) const override;
    void updateUi(const QString& identifier, LPP::ChangeMask mask) override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    void retranslate() override;

    ExpandableListView* listView() const;

private:
    std::unique_ptr<Ui::MasterDetailView> m_ui;
    QString m_activeIdentifier;
    QMap<QString, QWidget*> m_detailPages;
    QVBoxLayout* m_detailLayout = nullptr;
};

} // namespace OX
