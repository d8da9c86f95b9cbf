// The two output writers behind OutputWriter.
#pragma once
#include <memory>
#include "engine/output/output_writer.h"

// 3GP (container 2) or MP4 (container 1) through the multiplexer library.
std::unique_ptr<OutputWriter> make_mp4_writer(int container);
// AVI through the program's AVI writer.
std::unique_ptr<OutputWriter> make_avi_writer();
