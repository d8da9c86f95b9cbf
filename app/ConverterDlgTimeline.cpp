// The main dialog's side of the timeline: the view's set-up, showing a file's segments (loading a
// restored file's index first), the range chosen on the view, thumbnails shown large, and the range
// editing of the Edit, Start, End and Done buttons.
#include <cstring>
#include <memory>
#include "ConverterDlg.h"
#include "app/core/segment_loader.h"
#include "app/res/resource.h"
#include "app/timeline/timeline_rules.h"
#include "app/timeline/win32/myeditview.h"
#include "engine/image/gdi/rgb_image_gdi.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"
#include "media/binders/binders.h"

namespace {

const char kShowCaption[] = "多媒体文件记录删除";
// The range starts this far inside the view when editing scrolls to it.
constexpr int kEditMargin = 60;

}  // namespace

void CConverterDlg::SetupTimelineView() {
    m_timeline = myeditview::CreateOver(this, IDC_TIMELINE_PLACE, IDC_TIMELINE_VIEW);
    if (!m_timeline) return;
    TimelineState& st = m_timeline->state();
    st.edit_mode = st.start_armed = st.end_armed = false;
    m_timeline->file_index = -1;
}

bool CConverterDlg::Editing() const { return m_timeline && m_timeline->state().edit_mode; }

void CConverterDlg::LoadSegments(int file_index) {
    if (file_index < 0 || file_index >= m_files.count()) return;
    load_segments(m_files.row(file_index));
}

void CConverterDlg::ClearTimeline() {
    m_btnRangeEdit.EnableWindow(FALSE);
    if (!m_timeline) return;
    m_timeline->ClearSegments();
    m_timeline->RedrawWindow();
}

void CConverterDlg::RestoreSegmentList(int file_index) {
    if (!m_timeline || file_index < 0 || file_index >= m_files.count()) {
        ClearTimeline();
        return;
    }
    m_currentFile = file_index;
    m_timeline->file_index = file_index;
    LoadSegments(file_index);
    const MediaFile& file = m_files.row(file_index);
    if (file.segments.empty()) {
        // Nothing to show for this file: the previous file's list must not stay on screen.
        ClearTimeline();
        return;
    }
    int start = 0, end = 0;
    shown_range(file, start, end);
    m_timeline->ShowSegments(file_index, file.segments, start, end, file.record.path, &file.record);
    m_rangeStart = m_timeline->state().sel_start;
    m_rangeEnd = m_timeline->state().sel_end;
    m_btnRangeEdit.EnableWindow(TRUE);
    m_timeline->RedrawWindow();
}

void CConverterDlg::ShowSelectedSegments() {
    if (flag_on(g_busy)) return;
    CSkinListCtrl& list = m_filePage.m_list;
    int last = -1;
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) last = row;
    if (last < 0) {
        AfxShowMessageBox(m_hWnd, "没有选择显示的多媒体文件记录", kShowCaption, MB_OK);
        return;
    }
    const CString path = list.GetItemText(last, 1);
    const int f = m_files.find_path(path);
    if (f < 0 || strnlen(m_files.row(f).record.index_path, sizeof m_files.row(f).record.index_path) <= 3) {
        ClearTimeline();
        return;
    }
    m_currentFile = f;
    if (m_timeline && (m_timeline->file_index != f || m_timeline->SegmentCount() == 0)) RestoreSegmentList(f);
}

void CConverterDlg::ShowRangeStatus(const char* format, int start, int end) {
    auto seconds = [this](int index) -> double {
        const Segment* s = m_timeline ? m_timeline->SegmentAt(index) : nullptr;
        return s ? double(float(s->entry.time_ms) * 0.001f) : 0.0;
    };
    const double a = seconds(start), b = seconds(end);
    CString text;
    text.Format(format, a, b, b - a);
    m_status.SetText(text);
    m_status.RedrawWindow();
}

void CConverterDlg::OnRangeChosen(bool is_end, int index) {
    HideColorDialog();
    if (!m_timeline) return;
    TimelineState& st = m_timeline->state();
    const int clamped = clamp_entry(index, m_timeline->SegmentCount());
    (is_end ? st.sel_end : st.sel_start) = clamped;
    m_timeline->Invalidate(FALSE);
    if (std::optional<int> to = range_scroll(is_end, clamped, m_timeline->ScrollX(), m_timeline->ClientWidth(),
                                             content_width(m_timeline->SegmentCount())))
        m_timeline->ScrollToX(*to);
    ShowRangeStatus(is_end ? "选择转换多媒体文件视频结束位置 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒"
                           : "选择转换多媒体文件视频开始位置 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒",
                    st.sel_start, st.sel_end);
}

void CConverterDlg::ShowThumbnail(int f, int s) {
    if (f < 0 || f >= m_files.count() || s < 0) return;
    const MediaFile& file = m_files.row(f);
    if (s >= int(file.segments.size()) || !file.segments[size_t(s)].has_thumbnail() || !codec::uncompress) return;
    const Segment& segment = file.segments[size_t(s)];
    CRgbImage image(128, 88, 0xFFFFFF);
    if (image.empty()) return;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[image.byte_size() + 100]);
    uint32_t length = uint32_t(image.byte_size());
    if (codec::uncompress(buffer.get(), &length, segment.thumbnail.data(), uint32_t(segment.thumbnail.size())) < 0 ||
        length <= 3)
        return;
    std::memcpy(image.pixels(), buffer.get(), std::min<size_t>(length, image.byte_size()));
    CWnd* target = GetDlgItem(IDC_PREVIEW);
    if (!target) return;
    HDC dc = ::GetDC(target->m_hWnd);
    CRgbImageGdi::StretchDraw(dc, RECT{0, 0, 128, 88}, image, 0, 0);
    ::ReleaseDC(target->m_hWnd, dc);
}

// ---- range editing ----

void CConverterDlg::LeaveEditMode() {
    m_btnRangeEdit.SetPressed(FALSE);
    m_btnRangeDone.EnableWindow(FALSE);
    for (CSkinButton* b : {&m_btnRangeStart, &m_btnRangeEnd}) {
        b->SetPressed(FALSE);
        b->EnableWindow(FALSE);
    }
    if (m_timeline) {
        TimelineState& st = m_timeline->state();
        st.edit_mode = st.start_armed = st.end_armed = false;
        st.drag_edge = 0;
    }
    for (CSkinButton* b : {&m_btnPlay, &m_btnStop, &m_btnConvert, &m_btnTrim, &m_btnPause, &m_btnExit})
        b->EnableWindow(TRUE);
    if (m_timeline) m_timeline->RedrawWindow();
}

void CConverterDlg::OnEditRange() {
    if (!m_timeline) return;
    TimelineState& st = m_timeline->state();
    if (m_btnRangeEdit.IsPressed()) {
        // Editing swaps the buttons a running job needs (Stop, Exit) for the range buttons.
        if (flag_on(g_busy) || WorkerRunning() || m_timeline->SegmentCount() == 0) {
            m_btnRangeEdit.SetPressed(FALSE);
            m_status.SetText("播放或转换时不能编辑转换范围");
            m_status.RedrawWindow();
            return;
        }
        st.edit_mode = st.start_armed = true;
        st.end_armed = false;
        for (CSkinButton* b : {&m_btnRangeStart, &m_btnRangeEnd, &m_btnRangeDone}) b->EnableWindow(TRUE);
        m_btnRangeStart.SetPressed(TRUE);
        m_btnRangeEnd.SetPressed(FALSE);
        for (CSkinButton* b : {&m_btnPlay, &m_btnConvert, &m_btnTrim, &m_btnPause, &m_btnStop, &m_btnExit})
            b->EnableWindow(FALSE);
        m_timeline->ScrollToX(entry_x(st.sel_start) - kEditMargin);
        m_timeline->RedrawWindow();
        m_timeline->SendMessage(WM_DLG_NOTIFY, 8888, st.sel_start);
        ShowRangeStatus("开始编辑转换多媒体文件视频 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒", st.sel_start, st.sel_end);
        return;
    }
    LeaveEditMode();
    m_timeline->SetRange(m_rangeStart, m_rangeEnd);
    m_timeline->RedrawWindow();
    ShowRangeStatus("取消编辑转换多媒体文件视频 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒", m_rangeStart, m_rangeEnd);
}

void CConverterDlg::OnRangeStart() {
    if (!Editing()) return;
    TimelineState& st = m_timeline->state();
    if (!m_btnRangeStart.IsPressed()) {
        st.start_armed = false;
        return;
    }
    m_btnRangeEnd.SetPressed(FALSE);
    m_timeline->ScrollToX(entry_x(st.sel_start) - kEditMargin);
    m_timeline->RedrawWindow();
    st.start_armed = true;
    st.end_armed = false;
    ShowRangeStatus("选择转换多媒体文件视频开始位置 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒", st.sel_start, st.sel_end);
}

void CConverterDlg::OnRangeEnd() {
    if (!Editing()) return;
    TimelineState& st = m_timeline->state();
    if (!m_btnRangeEnd.IsPressed()) {
        st.end_armed = false;
        return;
    }
    m_btnRangeStart.SetPressed(FALSE);
    const int w = m_timeline->ClientWidth();
    const int x = entry_x(st.sel_end);
    m_timeline->ScrollToX(x > w ? x - w + kEditMargin : 0);
    m_timeline->RedrawWindow();
    st.start_armed = false;
    st.end_armed = true;
    ShowRangeStatus("选择转换多媒体文件视频结束位置 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒", st.sel_start, st.sel_end);
}

void CConverterDlg::OnRangeDone() {
    if (!Editing()) return;
    TimelineState& st = m_timeline->state();
    // The latch follows the click; Done stays a plain action.
    m_btnRangeDone.SetPressed(FALSE);
    if (st.sel_start >= st.sel_end) return;
    m_rangeStart = st.sel_start;
    m_rangeEnd = st.sel_end;
    const int f = m_timeline->file_index;
    if (f >= 0 && f < m_files.count()) {
        m_files.row(f).record.range_start = m_rangeStart;
        m_files.row(f).record.range_end = m_rangeEnd;
    }
    LeaveEditMode();
    ShowRangeStatus("确认转换多媒体文件视频 开始时间%.2f秒 结束时间%.2f秒 总计%.2f秒", m_rangeStart, m_rangeEnd);
}
