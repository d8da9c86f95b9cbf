// The media list as the job builder's row source: a report-style list view read through its
// messages, with questions to the user through the message-box seam.
#pragma once
#include <windows.h>
#include "build_jobs.h"

class ListViewRows : public JobRowSource {
public:
    ListViewRows(HWND list, HWND owner) : list_(list), owner_(owner) {}
    int row_count() const override;
    int selected_count() const override;
    bool is_selected(int row) const override;
    std::string cell_text(int row, int column) const override;
    void show_message(const char* text, const char* caption) override;

private:
    HWND list_;
    HWND owner_;
};
