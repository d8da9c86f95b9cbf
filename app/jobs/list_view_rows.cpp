#include "list_view_rows.h"
#include <commctrl.h>
#include <cstring>
#include "afxseam.h"

int ListViewRows::row_count() const { return int(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

int ListViewRows::selected_count() const { return int(::SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0)); }

bool ListViewRows::is_selected(int row) const {
    return (::SendMessageA(list_, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

std::string ListViewRows::cell_text(int row, int column) const {
    char text[kJobPathSize + 1] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list_, LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&item));
    text[sizeof text - 1] = '\0';  // the list fills at most cchTextMax bytes; keep the end in view
    return std::string(text, strnlen(text, sizeof text));
}

void ListViewRows::show_message(const char* text, const char* caption) {
    AfxShowMessageBox(owner_, text, caption, MB_OK);
}
