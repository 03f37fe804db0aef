#include "toolkit/Lists.h"

namespace {

int ValidIndex(int index, const TStrings& items) {
    return index >= 0 && static_cast<std::size_t>(index) < items.size() ? index : -1;
}

}  // namespace

void TComboBox::SetItems(TStrings items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Changed();
}

void TComboBox::SetItemIndex(int index) {
    Assign(itemIndex_, ValidIndex(index, items_));
}

std::string TComboBox::Text() const {
    return itemIndex_ < 0 ? std::string() : items_[itemIndex_];
}

void TListBox::SetItems(TStrings items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    Changed();
}

void TListBox::AddItem(std::string item) {
    items_.push_back(std::move(item));
    Changed();
}

void TListBox::DeleteItem(int index) {
    if (ValidIndex(index, items_) < 0) return;
    items_.erase(items_.begin() + index);
    if (itemIndex_ == index) {
        itemIndex_ = -1;
    } else if (itemIndex_ > index) {
        --itemIndex_;
    }
    Changed();
}

void TListBox::SetItemIndex(int index) {
    Assign(itemIndex_, ValidIndex(index, items_));
}
