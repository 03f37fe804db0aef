#include "platform/fltk/FltkHelp.h"

#include <FL/Fl_Help_Dialog.H>

#include "toolkit/Files.h"
#include "toolkit/Strings.h"

namespace {

// Beside the executable (a build or a copy run from its folder), else among the installed
// package's data.
std::string Located(const std::string& file) {
    if (file.empty() || file.front() == '/') return file;
    std::string beside = ExtractFilePath(ExecutablePath()) + file;
    if (FileExists(beside)) return beside;
    return std::string(TAPEWRIGHT_DATA_DIR "/") + file;
}

// The page with an About at its end, before the body's close where it has one.
std::string WithAbout(const char* page, const std::string& line) {
    std::string text = page != nullptr ? page : "";
    const std::string about = "<hr><h3>このプログラムについて</h3><p>" + line + "</p>\n";
    const std::size_t end = text.rfind("</body>");
    text.insert(end == std::string::npos ? text.size() : end, about);
    return text;
}

}  // namespace

HelpViewer::HelpViewer() = default;
HelpViewer::~HelpViewer() = default;

bool HelpViewer::Show(const std::string& file) {
    std::string path = Located(file);
    if (path.empty() || !FileExists(path)) return false;
    if (!dialog_) dialog_ = std::make_unique<Fl_Help_Dialog>();
    dialog_->textsize(12);
    dialog_->load(path.c_str());
    if (aboutText_) dialog_->value(WithAbout(dialog_->value(), aboutText_()).c_str());
    dialog_->show();
    return true;
}
