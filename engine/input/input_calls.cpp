#include "engine/input/input_calls.h"

InputCalls g_input_calls;
