#include "settings/IniQuill.h"

#include <algorithm>
#include <utility>

#include "toolkit/Exception.h"
#include "toolkit/Strings.h"

namespace {

// The settings file's name for an executable: its file name with the extension ".ini",
// lower-cased byte by byte, then the first byte raised ("TAPEWRT.EXE" gives "Tapewrt.ini").
std::string SettingsFileName(const std::string& executablePath) {
    std::string name = LowerCase(ChangeFileExt(ExtractFileName(executablePath), ".INI"));
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}

// A leading "0x" or "0X" becomes "$" when digits follow it.
std::string WithDollarMarker(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.replace(0, 2, "$");
    }
    return text;
}

}  // namespace

TIniQuill::TIniQuill(TIniQuillSystem system) : system_(std::move(system)) {}

void TIniQuill::SetDefaultDir(TIniQuillDefaultDir value) {
    defaultDir_ = value;
    SetFileName(fileName_);
}

void TIniQuill::SetFileName(const std::string& name) {
    fileName_ = name;
    fullPath_ = FullPathFor(name);
}

std::string TIniQuill::FullPathFor(const std::string& name) const {
    if (!ExtractFilePath(name).empty()) return name;
    switch (defaultDir_) {
        case ddApplication:
            return system_.applicationDirectory(ExtractFilePath(system_.executablePath())) + name;
        case ddWindows:
            return system_.settingsDirectory() + PlatformPathRules().separators[0] + name;
        case ddNone:
            break;
    }
    return name;
}

void TIniQuill::FinishLoading() {
    if (fileName_.empty()) SetFileName(SettingsFileName(system_.executablePath()));
}

int32_t TIniQuill::ReadIntValue(const std::string& section, const std::string& key,
                                int32_t defaultValue) const {
    std::string text = system_.readProfile(section, key, "", fullPath_);
    text.resize(std::min(text.size(), kMaxProfileValueLength));
    int32_t value = 0;
    return TryStrToInt(WithDollarMarker(std::move(text)), value) ? value : defaultValue;
}

void TIniQuill::WriteIntValue(const std::string& section, const std::string& key, int32_t value) {
    if (!system_.writeProfile(section, key, IntToStr(value), fullPath_)) {
        throw Exception(FormatText("%s に書き込めません", fullPath_));
    }
}
