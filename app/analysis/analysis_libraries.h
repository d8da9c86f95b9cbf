// The analysis thread's own bindings of the decoder libraries and the picture packer: the program's
// binders and texts, handles of its own, so that no unload of a worker's or of the program's frees
// code the analysis is running (and the other way round). A library is bound on first need and kept
// for the life of the program, as the probe keeps its own: libraries over libavformat cannot be
// loaded a second time under Wine once freed.
#pragma once
#include "engine/analysis/segment_analysis.h"

// The libraries as the analysis calls them; only one analysis runs at a time, so the bindings are
// used by one thread at a time.
const AnalysisLibraries& analysis_libraries();
