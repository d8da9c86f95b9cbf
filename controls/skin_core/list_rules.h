// The skinned list control's rules that need no window: a row's state bits and the filter language
// over them, the typed comparison of sort keys and the row sort, the editor's keys, the background
// bands, the row records with their per-cell colours, and the cells a colour setter reaches.
#pragma once
#include "skin_bands.h"
#include "skin_scheme.h"
#include "afx/include/afxtempl.h"
#include <cstdint>
#include <functional>
#include <vector>

namespace skin {

// ---- state bits ----

// As a filter: 1 any row, 2 selected, 4 not selected, 8 checked, 16 not checked, 32 focused, 64 not
// focused. As actions: select, deselect, check, uncheck, focus, unfocus.
constexpr unsigned kRowAny = 1, kRowSelected = 2, kRowNotSelected = 4, kRowChecked = 8, kRowNotChecked = 16,
                   kRowFocused = 32, kRowNotFocused = 64;

// A row's own bits: one of each pair.
unsigned row_state_bits(bool checked, bool selected, bool focused);
// A filter matches when it is not 0 and either has bit 1 or all its bits are in the row's.
bool row_matches(unsigned filter, unsigned row_bits);
// The action bits of `bits` in the order they are applied: 2, 4, 8, 16, 32, 64.
std::vector<unsigned> state_actions(unsigned bits);

// ---- sorting ----

// Reads a text as a date and time; false when it is none.
typedef bool (*DateParser)(const char* text, double* date, void* context);

// Compares two sort keys by the first rule both pass: hexadecimal (unsigned 64-bit, out of range is not
// hexadecimal), decimal (the rest empty or one "%"), date, else byte order. -1, 0 or 1.
int compare_sort_keys(const char* a, const char* b, DateParser parse_date, void* context);

// Quick-sorts row indices (Hoare partition around the middle element, the left part by recursion, the
// right part by the loop); `compare` orders two row indices.
void sort_rows(std::vector<int>& rows, bool ascending, const std::function<int(int, int)>& compare);
// The rows 0 .. count-1 in sorted order (fewer than two rows stay as they are).
std::vector<int> sorted_rows(int count, bool ascending, const std::function<int(int, int)>& compare);
// The order a click on `clicked` sorts in: a second click on the last sorted column reverses an
// ascending sort; anything else sorts ascending.
bool click_sorts_ascending(int clicked, int sort_column, bool sort_ascending);

// ---- the in-place editor's keys ----

enum class EditEnd : uint8_t { None, Keep, Discard };
struct EditKey {
    bool consumed = false;        // false: the key goes on to the list
    EditEnd end = EditEnd::None;  // how the open edit ends
    int row = -1, column = -1;    // the cell edited next (-1: none)
    bool ensure_visible = false;  // the next row is scrolled into view
};
// What key `vk` does while cell (row, column) of a list of `rows` x `columns` is edited.
EditKey edit_key(unsigned vk, int row, int column, int rows, int columns);

// ---- background ----

constexpr int kListHeaderBand = 16;  // the header's strip, left out of the bands
constexpr int kListBandHeight = 13;
// The bands under the header: 13 pixels high from the client's top + 16 down, the last one the rest;
// none when the client is under 16 pixels, never one of height 0 or less.
std::vector<Rect> list_band_rects(Rect client);
// The list's shaded fill: the program's table, with its own 21 and 22.
extern const Profile kListTarmelo;

// ---- row records ----

// The record every row carries as its item data: the caller's own data and one text and one back
// colour per column.
struct ListRowData {
    ListRowData(intptr_t user, int columns, Colour text, Colour back);
    ~ListRowData();
    ListRowData(const ListRowData&) = delete;
    ListRowData& operator=(const ListRowData&) = delete;

    // A column inserted at `at` gets its default pair there.
    void insert_column(int at, Colour text, Colour back);
    // The records alive in this module.
    static int live();

    intptr_t user_data;
    CArray<Colour, Colour> text_colours;
    CArray<Colour, Colour> back_colours;
};

// The cells a colour setter reaches, rows [first_row, end_row) by columns [first_column, end_column): a
// valid row and column one cell, a valid row its whole row, a valid column its whole column, neither
// every cell.
struct CellRange {
    int first_row, end_row, first_column, end_column;
};
CellRange colour_cells(int row, int column, int rows, int columns);

}  // namespace skin
