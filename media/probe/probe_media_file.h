// The media probe: identifies one input file by its name and content, fills its record and, for MTV,
// AMV, SWF, AVI, FLV/F4V and MP4/3GP files, writes its index file into the "dat" folder beside the
// program. Shows its own messages (through the message seam). Runs on the interface thread; binds
// the libraries it needs through bindings of its own, so it may run while a worker decodes.
#pragma once
#include "media/records/media_file_record.h"

// path: the file (an ANSI Windows path); record: a zero-filled record. Returns 0 when the file is
// accepted; -1, -2, -3, -4, -8 or -10 when it is refused:
//   -1 it cannot be opened or holds nothing to convert, or DirectShow cannot be used;
//   -2 it is not identified, a decoder is missing, or MTV/AMV analysis failed;
//   -3 unsupported FLV content and other DirectShow failures;
//   -4 an AVI stream without a frame rate;  -8 an MPEG elementary stream without sound;
//   -10 a picture smaller than 10 pixels.
int probe_media_file(const char* path, MediaFileRecord* record);
