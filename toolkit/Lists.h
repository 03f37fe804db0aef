#pragma once
// Controls that show a list of texts with at most one selected: the drop-down list (its
// text is always one of its items) and the list box. ItemIndex -1 means no selection;
// setting an index outside the items gives -1.
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Control.h"

using TStrings = std::vector<std::string>;

class TComboBox : public TControl {
  public:
    using TControl::TControl;

    const TStrings& Items() const { return items_; }
    // Replaces the items; the selection is cleared.
    void SetItems(TStrings items);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // The selected item's text; empty when none is selected.
    std::string Text() const;

  private:
    TStrings items_;
    int itemIndex_ = -1;
};

class TListBox : public TControl {
  public:
    using TControl::TControl;

    const TStrings& Items() const { return items_; }
    // Replaces all items at once (one notification); the selection is cleared.
    void SetItems(TStrings items);
    // Appends an item; the selection stays.
    void AddItem(std::string item);
    // Deletes the item at index; an index outside the items (-1 included) is ignored.
    // The selection follows its item and is cleared when that item goes.
    void DeleteItem(int index);

    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int32_t ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int32_t value) { Assign(itemHeight_, value); }

  private:
    TStrings items_;
    int itemIndex_ = -1;
    int32_t itemHeight_ = 13;
};
