// The file list of Qt's file dialog in the program's language.
#pragma once

#include <QIdentityProxyModel>

namespace mirotabe {

// Stands between Qt's file dialog and its file system model, and writes
// each file's size and time of change in the default locale (see
// InstallQtJapanese). Qt's model writes them in the system's locale, which
// is C under LANG=C.UTF-8 ("6 bytes", "9 Dec 2026"), though the column
// names and the types beside them follow the default locale.
class LocaleFileListModel : public QIdentityProxyModel {
  Q_OBJECT

 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override;
};

}  // namespace mirotabe
