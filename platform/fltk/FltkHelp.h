#pragma once
// The help viewer: the help file is an HTML page beside the executable, shown in FLTK's
// help dialog. No FLTK header here: FltkBackend.h, which app/ includes, includes this one.
#include <functional>
#include <memory>
#include <string>

class Fl_Help_Dialog;

class HelpViewer {
  public:
    HelpViewer();
    ~HelpViewer();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    // Shows file (a bare name is looked up in the executable's directory). False, with
    // nothing shown, when the file does not exist.
    bool Show(const std::string& file);
    // The page then ends with an About that holds this line (which journal is in use).
    void SetAboutText(std::function<std::string()> text) { aboutText_ = std::move(text); }

  private:
    std::unique_ptr<Fl_Help_Dialog> dialog_;
    std::function<std::string()> aboutText_;
};
