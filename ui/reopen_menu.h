// ファイル → エンコーディングを指定して開き直す: reads the file last read into
// the input pane again, in an encoding the user names, for when the
// detection took the wrong one. The encoding it was last read in is checked;
// while the text comes from no file the submenu is disabled.
#pragma once

#include <QObject>
#include <optional>
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

  // The input's text was read in `encoding`; none when it comes from no
  // file, which disables the submenu.
  void ShowRead(std::optional<TextEncoding> encoding);

 signals:
  void reopenRequested(TextEncoding encoding);

 private:
  QMenu* menu_ = nullptr;
  std::vector<QAction*> actions_;
};

}  // namespace mirotabe
