// tolmpicpack.dll's uncompress as the SWF reader's inflater in the program.
#pragma once
#include "media/swf/swf_reader.h"

// The library as the SWF reader binds it. Binding leaves a tolmpicpack the program already bound
// alone (its compress serves the thumbnails), and unbinding frees only a binding made here.
const SwfPictureLibrary* swf_tolmpicpack_library();
// Installs it for every later swf_load of the program.
void swf_use_tolmpicpack();
