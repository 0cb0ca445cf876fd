#include "ui/out_of_memory.h"

namespace mirotabe {

QString OutOfMemoryText(const QString& what) {
  return QStringLiteral(
             "メモリが足りないため、%1ことができませんでした。\r\n"
             "入力欄の文章はそのままです。")
      .arg(what);
}

}  // namespace mirotabe
