// ファイル → 最近使ったファイル: the files last opened or saved as text,
// newest first, each with its number as its key, and 履歴を消去 to forget
// them. The list is read afresh each time the submenu opens, so that it
// shows what other windows added too.
#pragma once

#include <QObject>
#include <string>

class QMenu;

namespace mirotabe {

class WindowState;

class RecentMenu : public QObject {
  Q_OBJECT

 public:
  RecentMenu(QObject* parent, WindowState& state);

  // Appends the submenu to `menu`.
  void AddTo(QMenu* menu);

 signals:
  // `path` holds the name's bytes.
  void openRequested(const std::string& path);

 private:
  void Fill();

  WindowState& state_;
  QMenu* menu_ = nullptr;
};

}  // namespace mirotabe
