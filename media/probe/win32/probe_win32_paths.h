// The probe's paths that call the outside libraries, the DirectShow readers or the Windows Media
// reader: each gathers the answers and hands them to the portable part (media/probe/probe_paths.h).
#pragma once
#include "media/probe/probe_dispatch.h"
#include "media/probe/probe_job.h"

int probe_mtv(ProbeJob& job, bool amv);
int probe_avi(ProbeJob& job);
int probe_mp4(ProbeJob& job);
int probe_flv(ProbeJob& job);
int probe_direct_show(ProbeJob& job, DirectShowKind kind);
int probe_mpeg(ProbeJob& job);
// The MPEG path's fallback for a stream the parser does not identify: sound DirectShow can read.
int probe_sound_only(ProbeJob& job);
// Rate and channels of the PCM the AAC decoder makes of a configuration; false (nothing changed) when
// the library cannot be bound or refuses the configuration.
bool aac_output_format(const unsigned char* config, int length, int rate_hint, int* rate, int* channels);
