// The probe's entry: the common start (file length, dispatch by name) and the path the file takes.
#include "media/probe/probe_media_file.h"
#include "base/fileio.h"
#include "base/program_folder.h"
#include "media/probe/probe_dispatch.h"
#include "media/probe/probe_paths.h"
#include "media/probe/win32/probe_win32_paths.h"
#include "media/swf/win32/swf_picpack.h"

namespace {

// SWF bodies are inflated by the picture library; one the program installed stays.
void use_swf_inflater() {
    const SwfPictureLibrary* installed = swf_set_picture_library(swf_tolmpicpack_library());
    if (installed) swf_set_picture_library(installed);
}

}  // namespace

int probe_media_file(const char* path, MediaFileRecord* record) {
    if (!record) return -1;
    ProbeJob job{path ? path : "", *record, program_folder(), stamp_now()};

    int64_t length = 0;
    uint8_t head[8] = {};
    size_t head_size = 0;
    {
        fileio::File file;
        if (file.open(job.path, fileio::File::Mode::Read)) {
            length = file.size();
            const int64_t got = file.read(head, sizeof head);
            head_size = got > 0 ? size_t(got) : 0;
        }
    }
    record->file_size = stored_file_size(length);

    const ProbeDispatch dispatch = probe_dispatch(job.path);
    switch (dispatch.family) {
    case ProbeFamily::Mtv: return probe_mtv(job, false);
    case ProbeFamily::Amv: return probe_mtv(job, true);
    case ProbeFamily::Swf: use_swf_inflater(); return probe_swf(job);
    case ProbeFamily::Avi: return probe_avi(job);
    case ProbeFamily::Mp4: return probe_mp4(job);
    case ProbeFamily::Flv:
        // Most F4V files are ISO media files, which the MP4 path reads.
        if (dispatch.f4v && is_iso_media(head, head_size)) return probe_mp4(job);
        return probe_flv(job);
    case ProbeFamily::DirectShow: return probe_direct_show(job, dispatch.direct_show);
    case ProbeFamily::Mpeg: return probe_mpeg(job);
    }
    return -2;
}
