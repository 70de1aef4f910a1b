#pragma once
// The "Devices" page: the headset's channel map as a list the user reorders (arrows or drag)
// and switches entry by entry, all on a working copy; "Apply" sends the copy to the headset.
// The list and the copy always hold the same entries in the same order: every edit is checked
// against the copy, and an edit the copy cannot take rebuilds the rows from it.
#include "protocol/ChannelMap.h"
#include "protocol/DongleResult.h"
#include "ui/toolkit/Page.h"

#include <QPointer>

#include <memory>

class Headset;
class QListWidget;
class QListWidgetItem;
class QModelIndex;

namespace Ui
{
class DevicesPage;
}

namespace OX
{

class IconButton;

class DevicesPage : public Page
{
    Q_OBJECT
public:
    DevicesPage(PageContainer* container, QWidget* parent = nullptr);
    ~DevicesPage() override;

    bool perform(PageAction action) override;
    void retranslate() override;
    void pageWillAppear(QString const& from) override;
    // Asks "Stay on page" or "Dismiss and leave page" while edits are pending.
    bool pageShouldDisappear() override;
    void updateWithHeadset(Headset* headset, HeadsetChangeMask mask) override;
    // Only what the page says is missing follows the dongle.
    void updateWithDongle(Dongle* dongle, DongleChangeMask mask) override;

    // The map as edited so far.
    ChannelMap const& workingCopy() const { return m_workingCopy; }
    QListWidget* listWidget() const;
    IconButton* upButton() const;
    IconButton* downButton() const;
    // What the page says is missing while it has no headset; empty otherwise.
    QString missingDeviceText() const;

    void onUpClicked();
    void onDownClicked();
    void onItemChanged(QListWidgetItem* item);
    void onCurrentRowChanged(int currentRow);
    void onListWidgetRowsMoved(
        QModelIndex const& parent, int start, int end, QModelIndex const& destination, int row);
    void onApplyChannelMap();

signals:
    void applyChannelMap();

private:
    // Rebuilds the rows from map unless it equals the working copy, which then becomes map.
    void updateList(ChannelMap const& map);
    // The rows again from the working copy, whatever the list shows.
    void rebuildRows();
    // "Apply" while the working copy differs from the headset's map.
    void updateFooter();
    bool hasPendingEdits();
    void setArrowsFor(int row);
    // Whether the rows and arrows take edits (not while an "Apply" is out).
    void setEditable(bool editable);
    // Enabled with a headset; without one, disabled and saying whether the dongle or the headset
    // is missing.
    void showHeadsetPresent(bool present);
    // Moves the row at from to to in list and copy; false when the copy refuses.
    bool moveRow(int from, int to);
    // The end of an "Apply" made in visit to the headset asked.
    void onChannelMapWritten(DongleResult const& result, QPointer<Headset> const& asked, quint64 visit);

    std::unique_ptr<Ui::DevicesPage> m_ui;
    ChannelMap m_workingCopy;
};

} // namespace OX
