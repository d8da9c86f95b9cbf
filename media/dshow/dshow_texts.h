// The readers' messages to the user (no owner window, OK button, the program's caption).
#pragma once

namespace dshow_text {
constexpr char kCaption[] = "Orvane多媒体MP4转换器";
constexpr char kNoDirectShow[] = "加载DirectShow失败，请检查系统是否安装Directx 8.00以上版本";
constexpr char kNoSourceFilter[] = "系统没有安装该文件[%s]的相关解码软件,多媒体文件不支持\n请检查用系统Windows Media Player是否播放";
constexpr char kNoDecoder[] = "系统没有安装该文件[%s]的相关解码软件，解码不支持\n请检查用系统Windows Media Player是否播放";
constexpr char kNoVideo[] = "系统检查该文件[%s]没有视频，无法实现视频转换";
}  // namespace dshow_text
