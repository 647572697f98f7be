#include "media/pictures.h"

#include <cstdio>

#include "platform/core/platform.h"
#include "state/language.h"

std::string LanguagePicture(const char* japanesePath) {
    std::string path = japanesePath;
    if (!InEnglish()) return path;
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return path;
    std::string english = path.substr(0, slash) + "\\EN" + path.substr(slash);
    std::FILE* f = OpenGameFile(english.c_str(), "rb");
    if (f == nullptr) {
        ReportFileProblem(english.c_str(),
                          "the English picture cannot be opened; the Japanese "
                          "one, " +
                              UserPath(japanesePath) + ", is shown instead");
        return path;
    }
    std::fclose(f);
    return english;
}
