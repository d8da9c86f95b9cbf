// Recording fakes of every outside library the engine's output side calls, for native tests: each
// entry records its name and arguments and answers as the library would (encoders return a few
// bytes, the H.264 encoder has its sequence set after a chosen number of pictures ...). The program's
// own encoder and AVI writer are faked too, so a test sees every call in order.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "engine/outside/outside_calls.h"

namespace fakes {

struct Call {
    std::string name;
    std::vector<int64_t> args;
};

// How the fakes answer.
struct Behaviour {
    int mp4_init = 0;              // mp4en_init result
    bool avi_open_fails = false;
    int amr_init = 0;              // amrbuf_init result
    int aac_samples_per_channel = 1024;  // aacbuf_init returns this x channels (0 or below: that value)
    int aac_init_override = 1;     // 1: as above; else returned as it is
    int mp3_init = 0;              // tolmmp3encinit_* result
    int mp3_first_byte = 0xFF;     // first byte of every coded MP3 block
    int xvid_create = 0;           // xvid_encore(XVID_ENC_CREATE) result
    int x264_init = 0;
    int h263_init = 0;
    int x264_sps_after = 1;        // pictures coded before the H.264 sequence set is there
    int xvid_key_interval = 12;    // every n-th MPEG-4 picture is an I-VOP
};

extern std::vector<Call> calls;
extern Behaviour behaviour;
// Every 16-bit sample the sound encoders were handed, in order.
extern std::vector<int16_t> pcm_seen;

// Clears the record and the behaviour, and fills the table with the fakes (own code and the PCM
// converter real, the clock a fake that advances only when slept on).
void install(OutsideCalls& table);
// The fake clock's time.
uint32_t now();

// Calls of one name, and their count.
std::vector<Call> named(const std::string& name);
int count(const std::string& name);
// Names in order, optionally only those in `keep`.
std::vector<std::string> names(const std::vector<std::string>& keep = {});
// Index of the first call of name at or after `from`, or -1.
int find(const std::string& name, int from = 0);

// Bytes of PCM the sound encoders were handed in all (AMR bytes, AAC bytes, MP3 samples x 2).
int64_t pcm_bytes_encoded();

}  // namespace fakes
