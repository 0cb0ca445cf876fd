#include "ui/file_list_model.h"

#include <QFileSystemModel>
#include <QLocale>

namespace mirotabe {

QVariant LocaleFileListModel::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (files == nullptr || role != Qt::DisplayRole) return QIdentityProxyModel::data(index, role);
  const QModelIndex source = mapToSource(index);
  switch (index.column()) {
    case 1:
      // A folder has no size to show.
      if (files->isDir(source)) return QIdentityProxyModel::data(index, role);
      return QLocale().formattedDataSize(files->size(source));
    case 3:
      return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    default:
      return QIdentityProxyModel::data(index, role);
  }
}

}  // namespace mirotabe
