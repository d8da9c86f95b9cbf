// Export header of tolmmp3dec.dll as its callers use it; shared by the binder and the stand-in.
#pragma once
#include "codecs/include/tolm_export.h"
#include "codecs/tolmmp3dec/mp3_frame_table.h"

// MPEG audio (layers I, II, III) decoding of a table of whole frames into interleaved 16-bit PCM with
// the stream's channels. `decoder` numbers one of 8 independent decoders.
TOLM_EXPORT(int, mp3_init, (int decoder))
// Opens the decoder for the layer of this frame; 0, or -1.
TOLM_EXPORT(int, mp3_open, (int decoder, const unsigned char* first_frame))
// Decodes frame_count records of the table (at most 32); returns the PCM bytes written to pcm (at most
// capacity). PCM that does not fit is written by the next call, before that call's frames.
TOLM_EXPORT(int, mp3_play, (int decoder, const Mp3FrameRecord* frame_table, int frame_count, unsigned char* pcm,
                            int capacity))
TOLM_EXPORT(int, mp3_close, (int decoder))
