#include "platform/fltk/FltkLists.h"

#include <functional>

#include "platform/fltk/FltkText.h"
#include "toolkit/Application.h"
#include "toolkit/Lists.h"

namespace {

void Dispatch(const std::function<void()>& handler) {
    if (Application != nullptr) Application->Dispatch(handler);
}

}  // namespace

ComboBoxWidget::ComboBoxWidget(TComboBox& combo)
    : Fl_Choice(combo.Left(), combo.Top(), combo.Width(), combo.Height()), combo_(combo) {
    down_box(FL_BORDER_BOX);
    callback(OnSelect, this);
    Update(combo);
}

void ComboBoxWidget::OnSelect(Fl_Widget*, void* self) {
    auto* widget = static_cast<ComboBoxWidget*>(self);
    int index = widget->value();
    TComboBox& combo = widget->combo_;
    Dispatch([&combo, index] { combo.SetItemIndex(index); });
}

// The items are set as a menu array of our own: Fl_Menu_::add() would split texts at "/"
// and merge equal ones.
void ComboBoxWidget::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    labels_.clear();
    for (const std::string& item : items) labels_.push_back(MenuLabel(item));
    menu_.assign(labels_.size() + 1, Fl_Menu_Item{});
    for (std::size_t i = 0; i < labels_.size(); ++i) menu_[i].text = labels_[i].c_str();
    menu(menu_.data());
}

void ComboBoxWidget::Update(TControl&) {
    UpdateCommon(*this, combo_);
    FltkFont font = FontFor(combo_.Font());
    textfont(font.face);
    textsize(font.size);
    if (combo_.Items() != items_) SetItems(combo_.Items());
    if (value() != combo_.ItemIndex()) value(combo_.ItemIndex());
    redraw();
}

ListBoxWidget::ListBoxWidget(TListBox& list)
    : Fl_Hold_Browser(list.Left(), list.Top(), list.Width(), list.Height()), list_(list) {
    format_char(0);  // item texts are never formatting codes
    column_char(0);
    when(FL_WHEN_CHANGED);
    callback(OnSelect, this);
    Update(list);
}

void ListBoxWidget::OnSelect(Fl_Widget*, void* self) {
    auto* widget = static_cast<ListBoxWidget*>(self);
    int index = widget->value() - 1;
    TListBox& list = widget->list_;
    Dispatch([&list, index] { list.SetItemIndex(index); });
}

void ListBoxWidget::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    clear();
    for (const std::string& item : items) add(item.c_str());
}

void ListBoxWidget::Update(TControl&) {
    UpdateCommon(*this, list_);
    FltkFont font = FontFor(list_.Font());
    textfont(font.face);
    textsize(font.size);
    if (list_.Items() != items_) SetItems(list_.Items());
    int line = list_.ItemIndex() + 1;
    if (value() != line) {
        if (line > 0) {
            select(line);
        } else {
            deselect();
        }
    }
    redraw();
}
