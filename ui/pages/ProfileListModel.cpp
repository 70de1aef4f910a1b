#include "ui/pages/ProfileListModel.h"

namespace OX
{

Qt::ItemFlags ProfileListModel::flags(QModelIndex const& index) const
{
    Qt::ItemFlags f = QStringListModel::flags(index);
    if (index.isValid() && index.data(Qt::DisplayRole).toString().toLower() == QLatin1String("default"))
        f &= ~Qt::ItemIsEditable;
    return f;
}

} // namespace OX
