// zlib's own inflater as the SWF reader's picture library, for builds without tolmpicpack.dll (the
// native tests).
#pragma once
#include "media/swf/swf_reader.h"

const SwfPictureLibrary* swf_zlib_library();
