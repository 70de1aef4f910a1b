#pragma once
// The names of the stored mouse profiles, in store order, as the profiles page lists them. Every
// row can be renamed in place except the row "default" (in any letter case), which stays as it is.
#include <QStringListModel>

namespace OX
{

class ProfileListModel : public QStringListModel
{
    Q_OBJECT
public:
    using QStringListModel::QStringListModel;

    // QStringListModel's flags, without Qt::ItemIsEditable for the row "default".
    Qt::ItemFlags flags(QModelIndex const& index) const override;
};

} // namespace OX
