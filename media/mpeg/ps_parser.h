// The program stream parser: a byte-driven state machine that survives between blocks. It finds start
// codes, assembles headers split across blocks (pack headers, PES headers up to 264 bytes), and hands
// the payload of the first video stream, of the first MPEG audio stream and whole private-stream-1
// packets on. In a transport stream it reads the video packets' payloads, which are unbounded: a
// payload unit start parses a header again.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace mpeg {

class PsParser {
public:
    struct Sinks {
        std::function<void(const uint8_t*, size_t)> video;
        std::function<void(const uint8_t*, size_t)> audio;
        std::function<void(const uint8_t*, size_t)> private_packet;  // whole, from its start code
        // every complete PES header of the streams above (for time stamps)
        std::function<void(const uint8_t* header, int length)> pes_header;
    };

    void reset();
    // Program stream bytes; returns 1 when the end code was met (the rest is not read), else 0.
    int push(const uint8_t* data, size_t length, const Sinks& sinks);
    // The payload of one transport packet of the video stream.
    void push_transport(const uint8_t* data, size_t length, bool unit_start, const Sinks& sinks);

private:
    enum State { kSearch, kVideo, kSkip, kAudio, kPrivate };
    int run(const uint8_t* data, size_t length, const Sinks& sinks);
    // Bytes the header in hdr_ needs in all (0: one more byte needed to tell, -1: not a header).
    int header_need() const;
    void header_complete(const Sinks& sinks);

    State state_ = kSearch;
    bool transport_ = false;
    int64_t owed_ = 0;  // payload bytes of the current packet still to come (-1: unbounded)
    uint8_t hdr_[264] = {};
    int hdr_length_ = 0;
    int video_id_ = -1;
    int audio_id_ = -1;
    std::vector<uint8_t> private_;
};

}  // namespace mpeg
