#pragma once
// TIniQuill: the settings store. Integer values in one INI file named after the executable and
// placed by DefaultDir; each read and write goes to the file at once, nothing is cached.
#include <cstdint>
#include <functional>
#include <string>

#include "settings/ProfileFile.h"
#include "toolkit/Files.h"

enum TIniQuillDefaultDir { ddApplication, ddWindows, ddNone };
// Kept with the window layout; it changes nothing that is read or written.
enum TIniQuillFence { fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone };

// What the store takes from the system; tests replace members to stand in for another
// platform or a failing write.
struct TIniQuillSystem {
    using ProfileReader =
        std::function<std::string(const std::string& section, const std::string& key,
                                  const std::string& defaultText, const std::string& path)>;
    using ProfileWriter = std::function<bool(const std::string& section, const std::string& key,
                                             const std::string& value, const std::string& path)>;

    std::function<std::string()> executablePath = ExecutablePath;
    std::function<std::string(const std::string&)> applicationDirectory =
        ApplicationSettingsDirectory;
    std::function<std::string()> settingsDirectory = SystemSettingsDirectory;
    ProfileReader readProfile = ReadProfileString;
    ProfileWriter writeProfile = WriteProfileString;
};

class TIniQuill {
  public:
    explicit TIniQuill(TIniQuillSystem system = {});

    TIniQuillDefaultDir DefaultDir() const { return defaultDir_; }
    // Stores the value and resolves the current FileName anew.
    void SetDefaultDir(TIniQuillDefaultDir value);
    const std::string& FileName() const { return fileName_; }
    // Stores the name and binds the store to the full path the directory rule gives.
    void SetFileName(const std::string& name);
    TIniQuillFence Fence() const { return fence_; }
    void SetFence(TIniQuillFence value) { fence_ = value; }
    // The file every read and write goes to.
    const std::string& FullPath() const { return fullPath_; }

    // Runs once after the layout's values are applied: names the file after the executable
    // when no FileName was set.
    void FinishLoading();

    // The key's value, or defaultValue when the key is missing or not a number.
    int32_t ReadIntValue(const std::string& section, const std::string& key,
                         int32_t defaultValue) const;
    // Throws Exception("<full path> に書き込めません") when the file cannot be written.
    void WriteIntValue(const std::string& section, const std::string& key, int32_t value);

    // Control: int32_t Left() const, int32_t Top() const, SetLeft(int32_t), SetTop(int32_t).
    template <class Control>
    void RestorePosition(const std::string& section, const std::string& prefix,
                         Control& control) const {
        control.SetLeft(ReadIntValue(section, prefix + ".X", control.Left()));
        control.SetTop(ReadIntValue(section, prefix + ".Y", control.Top()));
    }
    // Writes Left, then Top; a failure of the first leaves the second unwritten.
    template <class Control>
    void StorePosition(const std::string& section, const std::string& prefix,
                       const Control& control) {
        WriteIntValue(section, prefix + ".X", control.Left());
        WriteIntValue(section, prefix + ".Y", control.Top());
    }

  private:
    std::string FullPathFor(const std::string& name) const;

    TIniQuillSystem system_;
    TIniQuillDefaultDir defaultDir_ = ddApplication;
    std::string fileName_;
    TIniQuillFence fence_ = fnNone;
    std::string fullPath_;
};
