// The probe's messages to the user and their two captions; "%s" is the file's path.
#pragma once
#include "media/dshow/dshow_texts.h"

namespace probe_text {
// MTV, AMV, MPEG and DirectShow paths: the caption the DirectShow readers use too.
constexpr const char* kCaptionMp4 = dshow_text::kCaption;
constexpr char kCaptionFlv[] = "Orvane多媒体FLV转换器";  // SWF, AVI, FLV and MP4 paths

constexpr char kNoCodecInfo[] = "文件%s:没有发现音视频编码信息";
constexpr char kAnalysisFailed[] = "文件%s:分析错误";
constexpr char kSwfNoVideo[] = "文件%s:没有发现视频编码信息";
constexpr char kSwfVideoCodec[] = "不支持该文件%s:视频编码";
constexpr char kAviOpen[] = "文件%s:打开失败，检查是否AVI文件";
constexpr char kAviOpenDml[] = "文件%s:超过1GB的AVI文件(OpenDML扩展),不支持";
constexpr char kMpeg4Rate[] = "文件%s:MPEG4分析属性错";
constexpr char kAviTooSmall[] = "分析多媒体文件错误";
constexpr char kMp4Open[] = "文件%s:打开失败，检查是否MP4/3GP文件";
constexpr char kMp4Size[] = "文件%s:视频编码尺寸不正确";
constexpr char kNotFlv[] = "文件%s:不是FLASH 的FLV编码文件";
constexpr char kFlvVideoCodec[] = "暂时不支持文件%s:的FLV视频编码";
constexpr char kFlvAudioCodec[] = "暂时不支持文件%s:的FLV音频编码";
constexpr char kFlv8Bit[] = "暂时不支持文件%s:是8位 的FLV音频编码";
constexpr char kOpenFailed[] = "文件%s:打开多媒体文件出错";
using dshow_text::kNoDirectShow;
constexpr char kNoDecoder[] = "系统没有安装该文件的相关解码软件,多媒体文件不支持";
constexpr char kUnknownType[] = "文件%s:不确定文件类型错";
constexpr char kNoSound[] = "文件%s:无音频的多媒体文件";
}  // namespace probe_text
