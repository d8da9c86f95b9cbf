// The input branches' texts on the status line ("%s" is the source's path).
#pragma once

namespace input_text {
constexpr char kConverting[] = "正在转换%s";
constexpr char kConverted[] = "转换%s结束";
constexpr char kAviInitFailed[] = "AVI初始化解码失败";
constexpr char kOpenFailed[] = "打开文件失败";
constexpr char kUnsupported[] = "视频解码不支持 ";
// A source whose sound cannot be read (a DirectShow file without a sound graph, AMR-WB): the job
// goes on without sound.
constexpr char kNoSound[] = "该多媒体文件无音频";
// An AVI file with OpenDML extensions (a second RIFF "AVIX", past 1 GB): not read at all, rather than
// read up to its first RIFF and taken as complete.
constexpr char kAviOpenDml[] = "AVI文件超过1GB(OpenDML扩展),不支持";
constexpr char kLibrariesFailed[] = "装载解码动态库失败";
}  // namespace input_text
