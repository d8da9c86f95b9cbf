// Notice 678: the H.264 decoder the workers share lives on the interface thread. A worker asks by a
// blocking send; this is what the interface thread does for each sub-code, over the decoder's calls.
//   1  open the decoder at the size the worker asked for (its capacity)
//   2  flush what the decoder still holds, then close it
//   4  decode the worker's data into the worker's picture
//   5  open, flush and close
// A flush lands in a buffer of the opened size kept here, never in a worker's picture. The byte count
// of the last picture a flush or decode gave is what the worker reads afterwards.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct H264DecoderCalls {
    int (*init)(int width, int height) = nullptr;
    int (*decode)(const unsigned char* data, int length, unsigned char* frame) = nullptr;
    int (*close)() = nullptr;
};

// What a worker hands over with sub-code 4: its data and the picture to decode into (at least the
// opened size's bytes).
struct H264DecodeRequest {
    const unsigned char* data = nullptr;
    int length = 0;
    unsigned char* picture = nullptr;
};

class H264Bridge {
public:
    // Returns the handler's result (the decoder's, or -1 for an unknown sub-code, a decoder that is not
    // bound, a decode asked of a closed decoder or without data). *decoded_bytes is set by 2, 4 and 5.
    int handle(int sub_code, const H264DecoderCalls& calls, int width, int height, const H264DecodeRequest& request,
               int* decoded_bytes);
    bool is_open() const { return open_; }
    // Bytes of the flush buffer: one B,G,R picture of the opened size, rows padded to 4 bytes.
    std::size_t flush_capacity() const { return flushed_.size(); }

private:
    int open(const H264DecoderCalls& calls, int width, int height);
    int flush(const H264DecoderCalls& calls);
    int close(const H264DecoderCalls& calls);

    std::vector<uint8_t> flushed_;
    bool open_ = false;
};
