#include "engine/testing/conversion_driver.h"
#include <cstring>
#include "engine/audio/audio_path.h"
#include "engine/frame/frame_path.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"

namespace {

bool job_has_sound(const MediaJob& job) { return int64_t(job.sample_rate) * job.channels > 0; }

DriverOutput output_stats(const std::string& path) {
    DriverOutput o;
    o.path = path;
    o.sound_track = g_output.has_sound_track();
    o.picture_seconds = g_output.picture_seconds();
    o.sound_bytes = g_output.sound_bytes();
    return o;
}

}  // namespace

MediaJob test_job(const char* path, int width, int height, double fps, int sample_rate, int channels) {
    MediaJob job{};
    std::strncpy(job.path, path, kJobPathSize - 1);
    job.width = width;
    job.height = height;
    job.frame_rate = fps;
    job.sample_rate = sample_rate;
    job.channels = channels;
    job.file_index = -1;
    return job;
}

DriverResult drive_conversion(const std::vector<DriverJob>& jobs, const std::vector<std::string>& paths,
                              EngineUi& ui, const Clock& clock, bool normal_speed) {
    DriverResult result;
    if (jobs.empty()) return result;
    const int format = g_out_format.load();
    const bool merged = cfg_merge_mode == 1;
    JobTable table;
    table.count = int(jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) table.jobs[i] = jobs[i].job;

    g_output.begin_run(format, chosen_video_codec(format), merged);
    if (!g_output.set_up_sound(false)) return g_output.end_run(), result;
    pcm_buffer_allocate();
    if (!g_output.set_up_video(jobs[0].job)) return g_output.end_run(), pcm_buffer_free(), result;
    set_flag(g_write_output, true);
    set_flag(g_busy, true);
    set_flag(g_paused, false);
    g_frame_path.begin_run(ui, clock, normal_speed, table.count);
    result.set_up = true;

    for (size_t i = 0; i < jobs.size() && flag_on(g_busy); ++i) {
        const MediaJob& job = jobs[i].job;
        bool made = true;
        if (i == 0) {
            made = g_output.create(paths[0].c_str(), job, merged ? jobs_have_sound(table) : job_has_sound(job));
        } else if (!merged) {
            result.outputs.push_back(output_stats(paths[i - 1]));
            g_output.close_between_jobs();
            made = g_output.set_up_video(job) && g_output.set_up_sound(true) &&
                   g_output.create(paths[i].c_str(), job, job_has_sound(job));
        }
        if (!made) {
            result.set_up = false;
            break;
        }
        audio_set_up_job(job.sample_rate, job.channels);
        g_frame_path.begin_job(job, int(i));
        for (int p = 0; p < jobs[i].pictures && flag_on(g_busy); ++p) {
            std::vector<uint8_t> pixels = jobs[i].picture(p);
            PictureView view = picture::bgr24(pixels.data(), job.width, job.height);
            FrameProgress progress;
            progress.report = p % 5 == 0;
            progress.fraction = double(p + 1) / jobs[i].pictures;
            g_frame_path.step(view, progress);
            if (jobs[i].sound) {
                std::vector<int16_t> pcm = jobs[i].sound(p);
                if (!pcm.empty()) audio_feed(pcm.data(), pcm.size() * 2, g_speed_ratio);
            }
        }
        audio_end_of_job();
        g_frame_path.end_job();
    }
    audio_end_of_output();
    result.outputs.push_back(output_stats(merged ? paths[0] : paths[result.outputs.size()]));
    set_flag(g_busy, false);
    g_output.close_at_end();
    g_output.end_run();
    set_flag(g_write_output, false);
    audio_release();
    pcm_buffer_free();
    return result;
}
