#include "platform/font_files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace mirotabe {
namespace {

// The files of `candidates` that exist, each once: Debian's
// fonts-japanese-*.ttf are other names of the IPA fonts.
std::vector<FontFile> Present(std::vector<FontFile> candidates) {
  std::vector<FontFile> present;
  std::vector<std::filesystem::path> seen;
  for (FontFile& file : candidates) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(file.path, error);
    if (error) continue;
    bool known = false;
    for (const std::filesystem::path& other : seen) known = known || other == real;
    if (known) continue;
    seen.push_back(real);
    present.push_back(std::move(file));
  }
  return present;
}

#if defined(_WIN32)
// The system's font folder, as Windows names it in the environment.
std::string FontFolder() {
  const char* windows = std::getenv("WINDIR");
  return std::string(windows != nullptr && *windows != '\0' ? windows : "C:\\Windows") +
         "\\Fonts\\";
}
#endif

}  // namespace

std::vector<FontFile> MinchoFontFiles() {
#if defined(_WIN32)
  const std::string folder = FontFolder();
  return Present({{folder + "yumin.ttf"}, {folder + "msmincho.ttc"}});
#elif defined(__EMSCRIPTEN__)
  return Present({{kMinchoInMemory}});
#else
  return Present({{"/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf"},
                  {"/usr/share/fonts/truetype/fonts-japanese-mincho.ttf"}});
#endif
}

std::vector<FontFile> GothicFontFiles() {
#if defined(_WIN32)
  const std::string folder = FontFolder();
  return Present({{folder + "YuGothM.ttc"}, {folder + "msgothic.ttc"}});
#elif defined(__EMSCRIPTEN__)
  return Present({{kGothicInMemory}});
#else
  return Present({{"/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"},
                  {"/usr/share/fonts/truetype/fonts-japanese-gothic.ttf"}});
#endif
}

std::vector<FontFile> FallbackFontFiles() {
#if defined(_WIN32)
  const std::string folder = FontFolder();
  return Present({{folder + "seguisym.ttf"}, {folder + "segoeui.ttf"}});
#elif defined(__EMSCRIPTEN__)
  return {};
#else
  return Present({{"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}});
#endif
}

}  // namespace mirotabe
