// ファイル → エンコーディングを指定して開き直す: reads the file last read into
// the input pane again, in an encoding the user names, for when the
// detection took the wrong one. The encoding it was last read in is checked;
// until a file has been read the submenu is disabled.
#pragma once

#include <QObject>
#include <vector>

#include "platform/charset.h"

class QAction;
class QMenu;

namespace mirotabe {

class ReopenMenu : public QObject {
  Q_OBJECT

 public:
  explicit ReopenMenu(QObject* parent);

  // Appends the submenu to `menu`.
  void AddTo(QMenu* menu);

  // A file has been read in `encoding`.
  void ShowRead(TextEncoding encoding);

 signals:
  void reopenRequested(TextEncoding encoding);

 private:
  QMenu* menu_ = nullptr;
  std::vector<QAction*> actions_;
};

}  // namespace mirotabe
