#include "engine/input/input_reader.h"

std::unique_ptr<InputReader> make_mpeg_reader() { return nullptr; }
