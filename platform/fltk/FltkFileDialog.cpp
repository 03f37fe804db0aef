#include "platform/fltk/FltkFileDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Group.H>
#include <FL/filename.H>

#include <string>

#include "platform/fltk/FltkText.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Files.h"

namespace {

// What the file name field's Enter needs to know.
struct NameEntry {
    Fl_File_Chooser* chooser;
    bool mustExist;
};

// A name that need not exist is allowed when saving, and when opening without
// ofFileMustExist; there is no question before an existing file is replaced.
bool MustExist(const TFileDialog& dialog) {
    return dialog.Kind() == FileDialogKind::Open && (dialog.Options & ofFileMustExist) != 0;
}

Fl_File_Input* FindNameField(Fl_Group& group) {
    for (int i = 0; i < group.children(); ++i) {
        Fl_Widget* child = group.child(i);
        if (auto* field = dynamic_cast<Fl_File_Input*>(child)) return field;
        if (Fl_Group* inner = child->as_group()) {
            if (Fl_File_Input* field = FindNameField(*inner)) return field;
        }
    }
    return nullptr;
}

std::string Absolute(const std::string& name, const char* directory) {
    if (name.empty() || name.front() == '/' || directory == nullptr || directory[0] == '\0') {
        return name;
    }
    std::string base = directory;
    return base.back() == '/' ? base + name : base + "/" + name;
}

// Enter in the file name field takes the text as typed: a directory is opened, a file
// accepted (when it may be missing, or exists). The chooser's own handler would complete
// and rewrite the text while it is being typed.
void OnNameEnter(Fl_Widget* widget, void* data) {
    auto* field = static_cast<Fl_File_Input*>(widget);
    auto* entry = static_cast<NameEntry*>(data);
    std::string path = Absolute(field->value(), entry->chooser->directory());
    if (path.empty()) return;
    if (fl_filename_isdir(path.c_str())) {
        entry->chooser->directory(path.c_str());
    } else if (entry->mustExist && !FileExists(path)) {
        fl_beep();
    } else {
        field->value(path.c_str());
        entry->chooser->hide();
    }
}

// The field opens holding the directory: selected, so that typing replaces it.
void TakeOverNameField(NameEntry& entry) {
    Fl_Window* window = Fl::first_window();  // the chooser, just shown
    Fl_File_Input* field = window != nullptr ? FindNameField(*window) : nullptr;
    if (field == nullptr) return;
    field->when(FL_WHEN_ENTER_KEY_ALWAYS);
    field->callback(OnNameEnter, &entry);
    field->position(field->size(), 0);
    field->take_focus();
}

}  // namespace

bool RunFileChooser(TFileDialog& dialog) {
    std::vector<TFileFilter> filters = dialog.Filters();
    std::string filter = filters.empty() ? std::string("*") : FileChooserFilter(filters);
    int type = MustExist(dialog) ? Fl_File_Chooser::SINGLE : Fl_File_Chooser::CREATE;
    // No initial directory: the chooser starts in the current one.
    Fl_File_Chooser chooser(".", filter.c_str(), type, dialog.Title.c_str());
    chooser.preview(0);
    int index = dialog.FilterIndex - 1;
    if (index >= 0 && index < static_cast<int>(filters.size())) chooser.filter_value(index);
    chooser.show();
    NameEntry entry{&chooser, MustExist(dialog)};
    TakeOverNameField(entry);
    while (chooser.shown()) Fl::wait();
    const char* chosen = chooser.value();
    if (chosen == nullptr) return false;
    dialog.FileName = dialog.WithDefaultExt(chosen);
    return true;
}
