// SWF movies built tag by tag for tests: the file header, a movie RECT of the picture size, the frame
// rate and count, DefineVideoStream (Sorenson H.263), then the tags the test adds (SoundStreamHead,
// SoundStreamBlock, VideoFrame with ShowFrame) and End. Tags always carry the long header.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace swf_test {

class SwfWriter {
public:
    SwfWriter(int width, int height, int fps, int frames);
    void tag(int code, const std::vector<uint8_t>& data);
    // VideoFrame of stream 1 with the picture, then ShowFrame.
    void frame(int number, const std::vector<uint8_t>& picture);
    // The "FWS" file.
    std::vector<uint8_t> file() const;

private:
    void bits(uint32_t value, int count);
    void flush_bits();
    std::vector<uint8_t> body_;
    uint8_t acc_ = 0;
    int held_ = 0;
};

// The video and audio tag bodies of an FLV file in order, each without its first (header) byte.
void flv_bodies(const std::vector<uint8_t>& flv, std::vector<std::vector<uint8_t>>* video,
                std::vector<std::vector<uint8_t>>* audio);

// A movie of `pictures` (Sorenson bodies as FLV carries them) at 25 a second with stereo SWF ADPCM
// `sounds` at 22,050 Hz (ADPCM packets as FLV carries them), spread over the frames in order.
std::vector<uint8_t> adpcm_movie(int width, int height, const std::vector<std::vector<uint8_t>>& pictures,
                                 const std::vector<std::vector<uint8_t>>& sounds);

}  // namespace swf_test
