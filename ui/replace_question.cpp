#include "ui/replace_question.h"

#include <filesystem>
#include <system_error>

#include "ui/local_path.h"
#include "ui/ui_services.h"

namespace mirotabe {

bool MayWrite(UiServices& services, QWidget* owner, const std::string& target) {
  // A device is written into, and what is neither a file nor a device is
  // refused by the write, which says why.
  std::error_code error;
  if (!std::filesystem::is_regular_file(target, error)) return true;
  return services.AskToProceed(
      owner, SaveTitle(),
      QStringLiteral("%1 は既に存在します。\r\n置き換えますか?").arg(ShownPath(target)));
}

}  // namespace mirotabe
