#include "engine/convert/output_size.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"

bool output_size_for(int out_format, int choice, const MediaJob& first_job, int* width, int* height) {
    if (choice >= 0 && choice < kFrameSizeCount) {
        *width = kFrameSizes[choice].width;
        *height = kFrameSizes[choice].height;
        return true;
    }
    if (out_format == kOut3gp) return false;
    if (choice == 6) {
        *width = first_job.width;
        *height = first_job.height;
        return true;
    }
    if (choice == 7) {
        *width = cfg_mp4_width;
        *height = cfg_mp4_height;
        return true;
    }
    return false;
}

bool choose_output_size(int out_format, const MediaJob& first_job) {
    const int choice = out_format == kOut3gp  ? cfg_3gp_size_choice
                       : out_format == kOutMp4 ? cfg_mp4_size_choice
                                               : cfg_avi_size_choice;
    return output_size_for(out_format, choice, first_job, &g_out_width, &g_out_height);
}
