// temporary exploration tool
#include <windows.h>
#include <cstdio>
#include <cstring>
#include "base/message_seam.h"
#include "media/probe/probe_media_file.h"
#include "media/records/index_file.h"
int show(const char* text, const char* caption, unsigned, void*) { printf("  MSG [%s] caption [%s]\n", text, caption ? caption : "(null)"); return 1; }
int main(int argc, char** argv) {
  seam::set_reporter(show, nullptr);
  for (int i = 1; i < argc; ++i) {
    MediaFileRecord r{};
    DWORD t0 = GetTickCount();
    int res = probe_media_file(argv[i], &r);
    printf("%s -> %d (%lu ms)\n", argv[i], res, (unsigned long)(GetTickCount() - t0));
    printf("  kind %d/%d type [%s] size %d dur %d w %d h %d fps %.4f rate %.1f ch %d fc %d vidx %d aidx %d rs %d af %d bits %d sv %d pa %d pb %d pc %d seek %d ic %d ia %d\n",
      r.file_kind, r.file_kind_copy, r.type_name, r.file_size, r.duration_s, r.width, r.height, r.frame_rate, r.sample_rate, r.channels, r.frame_count,
      r.video_index_count, r.audio_index_count, r.rate_sum, r.audio_format, r.audio_bits, r.start_value, r.video_param_a, r.video_param_b, r.video_param_c, r.seek_mode, r.index_codec, r.index_audio);
    if (r.index_written) {
      IndexFile idx; IndexError e = read_index_file(r.index_path, idx);
      printf("  index %s err %d codec %d %dx%d %.3f n %zu b1 %zu b2 %zu\n", r.index_path, int(e), idx.codec, idx.width, idx.height, idx.frame_rate, idx.segments.size(), idx.block1.size(), idx.block2.size());
      for (size_t k = 0; k < idx.segments.size() && k < 4; ++k) { auto& en = idx.segments[k].entry; printf("    [%zu] key %d pos %d len %d t %d\n", k, en.is_key, en.position, en.length, en.time_ms); }
      if (idx.segments.size() > 4) { auto& en = idx.segments.back().entry; printf("    [last] key %d pos %d len %d t %d\n", en.is_key, en.position, en.length, en.time_ms); }
      DeleteFileA(r.index_path);
    }
    fflush(stdout);
  }
  return 0;
}
