#include "toolkit/Dialogs.h"

#include "toolkit/Backend.h"
#include "toolkit/Strings.h"

std::vector<TFileFilter> TFileDialog::Filters() const {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t bar = Filter.find('|'); bar != std::string::npos;
         bar = Filter.find('|', start)) {
        parts.push_back(Filter.substr(start, bar - start));
        start = bar + 1;
    }
    parts.push_back(Filter.substr(start));
    std::vector<TFileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        filters.push_back(TFileFilter{parts[i], parts[i + 1]});
    }
    return filters;
}

std::string TFileDialog::WithDefaultExt(const std::string& path) const {
    if (kind_ != FileDialogKind::Save || DefaultExt.empty()) return path;
    if (!ExtractFileExt(path).empty()) return path;
    return path + "." + DefaultExt;
}

bool TFileDialog::Execute() {
    return CurrentBackend().ExecuteFileDialog(*this);
}

int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
    return CurrentBackend().ShowMessageBox(text, caption, flags);
}
