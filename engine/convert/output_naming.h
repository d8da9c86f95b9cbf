// Names of the conversion's output files: the output folder, the job's start time to the second and
// the source's name without its extension, then ".3gp", ".mp4" or ".avi". A name that exists, or
// that this run gave out before, gets "_2", "_3" ... so no output ever replaces another file.
#pragma once
#include <set>
#include <string>

struct StampTime {
    int year, month, day, hour, minute, second;
};

// ".3gp", ".mp4" or ".avi" by output format.
const char* output_extension(int out_format);
// The source's file name (after its last separator, found character by character so a GBK trail
// byte that equals '\\' does not count) cut before its last "."; empty when the name has no ".".
std::string output_base_name(const char* source_path);
// out_dir + "%04d%02d%02d%02d%02d%02d" + base name + extension, before any suffix.
std::string output_stem(const std::string& out_dir, const StampTime& time, const char* source_path);

class OutputNamer {
public:
    // Forgets the names given out (a new run).
    void reset() { given_.clear(); }
    // The output path of a job: free on disk and not given out before in this run; empty when no
    // free name is found.
    std::string next(const std::string& out_dir, const StampTime& time, const char* source_path, int out_format);

private:
    std::set<std::string> given_;
};
