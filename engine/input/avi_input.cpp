#include "engine/input/input_reader.h"

std::unique_ptr<InputReader> make_avi_reader() { return nullptr; }
