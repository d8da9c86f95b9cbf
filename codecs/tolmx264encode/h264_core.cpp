#include "h264_core.h"
#include <cstring>
#include <x264.h>
extern "C" {
#include <libswscale/swscale.h>
}

namespace h264enc {
namespace {
x264_t* handle(void* p) { return static_cast<x264_t*>(p); }
// The payload of an Annex B NAL unit from x264, without its start code.
std::vector<uint8_t> bare(const x264_nal_t& nal) {
    const uint8_t* p = nal.p_payload;
    int n = nal.i_payload;
    while (n > 0 && *p == 0) ++p, --n;
    if (n > 0) ++p, --n;  // the 1 of the start code
    return std::vector<uint8_t>(p, p + n);
}
}  // namespace

int Encoder::open(int width, int height, int quality, int fps) {
    close();
    if (width < 16 || height < 16 || (width & 1) || (height & 1) || width > 4096 || height > 4096) return -1;
    x264_param_t param;
    if (x264_param_default_preset(&param, "veryfast", "zerolatency") < 0) return -1;
    param.i_width = width;
    param.i_height = height;
    param.i_csp = X264_CSP_I420;
    param.i_fps_num = fps > 0 ? fps : 25;
    param.i_fps_den = 1;
    param.i_timebase_num = 1;
    param.i_timebase_den = param.i_fps_num;
    param.i_bframe = 0;
    param.rc.i_lookahead = 0;
    param.i_sync_lookahead = 0;
    param.i_threads = 1;
    param.b_sliced_threads = 0;
    param.rc.i_rc_method = X264_RC_CRF;
    param.rc.f_rf_constant = quality >= 0 && quality <= 51 ? quality : 20;
    param.i_keyint_max = param.i_fps_num * 10;
    param.b_repeat_headers = 1;
    param.b_annexb = 1;
    param.b_aud = 0;
    param.i_log_level = X264_LOG_ERROR;
    x264_param_apply_profile(&param, "high");
    x264_ = x264_encoder_open(&param);
    if (!x264_) return -1;
    sws_ = sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr,
                          nullptr, nullptr);
    if (!sws_) {
        close();
        return -1;
    }
    width_ = width;
    height_ = height;
    yuv_.resize(width * height * 3 / 2);
    x264_nal_t* nals;
    int count;
    if (x264_encoder_headers(handle(x264_), &nals, &count) < 0) {
        close();
        return -1;
    }
    for (int i = 0; i < count; ++i) {
        if (nals[i].i_type == NAL_SPS) sps_ = bare(nals[i]);
        if (nals[i].i_type == NAL_PPS) pps_ = bare(nals[i]);
    }
    pts_ = 0;
    return 0;
}

int Encoder::encode(const PictureView& picture, uint8_t* out, int capacity, bool with_parameter_sets, int* key) {
    if (key) *key = 0;
    if (!x264_ || !out || picture.format != PixelFormat::kBgr24 || !picture::valid(picture)) return -1;
    if (picture.width != width_ || picture.height != height_) return -1;
    const uint8_t* bgr = picture.data;
    const int stride = picture.stride;
    uint8_t* planes[3] = {yuv_.data(), yuv_.data() + width_ * height_, yuv_.data() + width_ * height_ * 5 / 4};
    int strides[3] = {width_, width_ / 2, width_ / 2};
    const uint8_t* src[1] = {bgr};
    int src_stride[1] = {stride};
    sws_scale(sws_, src, src_stride, 0, height_, planes, strides);

    x264_picture_t in, coded;
    x264_picture_init(&in);
    in.img.i_csp = X264_CSP_I420;
    in.img.i_plane = 3;
    for (int i = 0; i < 3; ++i) {
        in.img.plane[i] = planes[i];
        in.img.i_stride[i] = strides[i];
    }
    in.i_pts = pts_++;
    x264_nal_t* nals;
    int count;
    if (x264_encoder_encode(handle(x264_), &nals, &count, &in, &coded) < 0) return -1;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const int type = nals[i].i_type;
        if (!with_parameter_sets && (type == NAL_SPS || type == NAL_PPS)) continue;
        if (written + nals[i].i_payload > capacity) return -1;
        memcpy(out + written, nals[i].p_payload, nals[i].i_payload);
        written += nals[i].i_payload;
    }
    if (key) *key = coded.b_keyframe ? 1 : 0;
    return written;
}

void Encoder::close() {
    if (x264_) x264_encoder_close(handle(x264_));
    x264_ = nullptr;
    sws_freeContext(sws_);
    sws_ = nullptr;
    sps_.clear();
    pps_.clear();
}

}  // namespace h264enc
