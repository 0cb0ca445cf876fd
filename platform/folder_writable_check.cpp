#include "platform/program_folder.h"

namespace mirotabe {
namespace {

FolderWritableCheck folderWritableCheck = program_folder_detail::CanMakeFilesIn;

}  // namespace

bool FolderIsWritable(const std::string& folder) {
  return folderWritableCheck(folder);
}

void SetFolderWritableCheck(FolderWritableCheck check) {
  folderWritableCheck = check != nullptr ? check : program_folder_detail::CanMakeFilesIn;
}

}  // namespace mirotabe
