#include "platform/win32/Win32Lists.h"

#include "platform/win32/TextConversion.h"
#include "toolkit/Lists.h"

namespace {

// How many items the open drop-down list shows before it scrolls.
constexpr int kDropDownCount = 8;
// The closed box's frame around its selection field: a box of height h has a field of
// h - 6.
constexpr int kComboFrame = 6;

void AddItems(HWND window, UINT addMessage, const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        std::wstring text = WideFromProgramText(item);
        SendMessageW(window, addMessage, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

}  // namespace

ComboBoxMirror::ComboBoxMirror(TComboBox& combo, HWND parent) : Win32Mirror(combo), combo_(combo) {
    Create(parent, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
    Update();
}

void ComboBoxMirror::Update() {
    UpdateFont(combo_.Font());
    if (height_ != combo_.Height()) {
        height_ = combo_.Height();
        SendMessageW(window_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height_ - kComboFrame);
    }
    int itemHeight = static_cast<int>(SendMessageW(window_, CB_GETITEMHEIGHT, 0, 0));
    UpdateBounds(combo_.Left(), combo_.Top(), combo_.Width(),
                 combo_.Height() + kDropDownCount * itemHeight + 2);
    UpdateVisible();
    UpdateEnabled();
    if (combo_.Items() != items_) SetItems(combo_.Items());
    if (SendMessageW(window_, CB_GETCURSEL, 0, 0) != combo_.ItemIndex()) {
        SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0);
    }
}

void ComboBoxMirror::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    SendMessageW(window_, CB_RESETCONTENT, 0, 0);
    AddItems(window_, CB_ADDSTRING, items);
}

void ComboBoxMirror::Command(WORD code) {
    if (code != CBN_SELCHANGE) return;
    int index = static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
    TComboBox& combo = combo_;
    DispatchToToolkit([&combo, index] { combo.SetItemIndex(index); });
}

ListBoxMirror::ListBoxMirror(TListBox& list, HWND parent) : Win32Mirror(list), list_(list) {
    Create(parent, L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
           WS_EX_CLIENTEDGE);
    Update();
}

void ListBoxMirror::Update() {
    UpdateCommon();
    // The items' height follows the font, as in a list box that draws its own items only
    // when asked to: ItemHeight is the height the layout's font gives.
    UpdateFont(list_.Font());
    if (list_.Items() != items_) SetItems(list_.Items());
    if (SendMessageW(window_, LB_GETCURSEL, 0, 0) != list_.ItemIndex()) {
        SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(list_.ItemIndex()), 0);
    }
}

void ListBoxMirror::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    AddItems(window_, LB_ADDSTRING, items);
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

void ListBoxMirror::Command(WORD code) {
    if (code != LBN_SELCHANGE) return;
    int index = static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0));
    TListBox& list = list_;
    DispatchToToolkit([&list, index] { list.SetItemIndex(index); });
}
