#include "list_rules.h"
#include "skin_styles.h"
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace skin {

unsigned row_state_bits(bool checked, bool selected, bool focused) {
    return (checked ? kRowChecked : kRowNotChecked) + (selected ? kRowSelected : kRowNotSelected) +
           (focused ? kRowFocused : kRowNotFocused);
}

bool row_matches(unsigned filter, unsigned row_bits) {
    if (filter == 0) return false;
    if (filter & kRowAny) return true;
    return (filter & row_bits) == filter;
}

std::vector<unsigned> state_actions(unsigned bits) {
    std::vector<unsigned> actions;
    for (unsigned b : {kRowSelected, kRowNotSelected, kRowChecked, kRowNotChecked, kRowFocused, kRowNotFocused})
        if (bits & b) actions.push_back(b);
    return actions;
}

namespace {

int sign(double d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

// The whole text is one unsigned hexadecimal number that fits 64 bits.
bool as_hex(const char* text, unsigned long long* value) {
    if (!*text) return false;
    char* end = nullptr;
    errno = 0;
    *value = strtoull(text, &end, 16);
    return errno != ERANGE && end != text && *end == 0;
}

// A decimal number, followed by nothing or by one "%".
bool as_decimal(const char* text, double* value) {
    if (!*text) return false;
    char* end = nullptr;
    *value = strtod(text, &end);
    if (end == text) return false;
    return *end == 0 || (end[0] == '%' && end[1] == 0);
}

}  // namespace

int compare_sort_keys(const char* a, const char* b, DateParser parse_date, void* context) {
    unsigned long long ha, hb;
    if (as_hex(a, &ha) && as_hex(b, &hb)) return ha < hb ? -1 : (ha > hb ? 1 : 0);
    double da, db;
    if (as_decimal(a, &da) && as_decimal(b, &db)) return sign(da - db);
    if (parse_date && parse_date(a, &da, context) && parse_date(b, &db, context)) return sign(da - db);
    // Byte order (the multibyte compare of GBK texts orders them by their bytes).
    return sign(strcmp(a, b));
}

void sort_rows(std::vector<int>& rows, bool ascending, const std::function<int(int, int)>& compare) {
    std::function<void(int, int)> sort = [&](int lo, int hi) {
        while (lo < hi) {
            const int pivot = rows[(lo + hi) / 2];
            int i = lo, j = hi;
            while (i <= j) {
                if (ascending) {
                    while (compare(rows[i], pivot) < 0) ++i;
                    while (compare(rows[j], pivot) > 0) --j;
                } else {
                    while (compare(rows[i], pivot) > 0) ++i;
                    while (compare(rows[j], pivot) < 0) --j;
                }
                if (i <= j) std::swap(rows[i++], rows[j--]);
            }
            if (lo < j) sort(lo, j);
            lo = i;
        }
    };
    if (rows.size() > 1) sort(0, (int)rows.size() - 1);
}

std::vector<int> sorted_rows(int count, bool ascending, const std::function<int(int, int)>& compare) {
    std::vector<int> rows;
    for (int i = 0; i < count; ++i) rows.push_back(i);
    sort_rows(rows, ascending, compare);
    return rows;
}

bool click_sorts_ascending(int clicked, int sort_column, bool sort_ascending) {
    return clicked != sort_column || !sort_ascending;
}

EditKey edit_key(unsigned vk, int row, int column, int rows, int columns) {
    EditKey k;
    switch (vk) {
    case 0x09:  // Tab: the next column of the row, after the last the first
        k.consumed = true;
        k.end = EditEnd::Keep;
        k.row = row;
        k.column = column + 1 < columns ? column + 1 : 0;
        break;
    case 0x0D:  // Enter
        k.consumed = true;
        k.end = EditEnd::Keep;
        break;
    case 0x1B:  // Escape
        k.consumed = true;
        k.end = EditEnd::Discard;
        break;
    case 0x26:  // Up, unless on the first row
        if (row > 0) {
            k = EditKey{true, EditEnd::Keep, row - 1, column, true};
        }
        break;
    case 0x28:  // Down, unless on the last row
        if (row < rows - 1) {
            k = EditKey{true, EditEnd::Keep, row + 1, column, true};
        }
        break;
    default:
        break;
    }
    return k;
}

std::vector<Rect> list_band_rects(Rect client) {
    std::vector<Rect> bands;
    const int top = client.top + kListHeaderBand;
    if (client.bottom - client.top < kListHeaderBand) return bands;
    const int height = client.bottom - top;
    const int whole = height / kListBandHeight;
    for (int k = 0; k < whole; ++k)
        bands.push_back(Rect{client.left, top + kListBandHeight * k, client.right, top + kListBandHeight * (k + 1)});
    if (height % kListBandHeight > 0)
        bands.push_back(Rect{client.left, top + kListBandHeight * whole, client.right, client.bottom});
    return bands;
}

namespace {
using namespace program_rows;
// skin_fill_shaded's table with the member copies' 21 and 22.
const Style kListStyles[] = {k7,  k8,   k17,  k18,  k19,  k20,  kMember21, kMember22, k27, k28,  k37,  k38,
                             k47, k48,  k57,  k58,  k67,  k68,  k77,       k78,       k88, k107, k108, k201,
                             k321, k322, k327, k328, k9,  kDefault};
int g_live_records = 0;
}  // namespace

const Profile kListTarmelo = {"CSkinListCtrl", 10, kListStyles, sizeof kListStyles / sizeof kListStyles[0]};

ListRowData::ListRowData(intptr_t user, int columns, Colour text, Colour back) : user_data(user) {
    text_colours.SetSize(columns);
    back_colours.SetSize(columns);
    for (int i = 0; i < columns; ++i) {
        text_colours[i] = text;
        back_colours[i] = back;
    }
    ++g_live_records;
}

ListRowData::~ListRowData() { --g_live_records; }

void ListRowData::insert_column(int at, Colour text, Colour back) {
    text_colours.InsertAt(at, text);
    back_colours.InsertAt(at, back);
}

int ListRowData::live() { return g_live_records; }

CellRange colour_cells(int row, int column, int rows, int columns) {
    const bool row_ok = row >= 0 && row < rows, column_ok = column >= 0 && column < columns;
    CellRange r{0, rows, 0, columns};
    if (row_ok) r.first_row = row, r.end_row = row + 1;
    if (column_ok) r.first_column = column, r.end_column = column + 1;
    return r;
}

}  // namespace skin
