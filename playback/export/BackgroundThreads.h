#pragma once
// Streaming threads below normal priority, for work that must never hold up the
// window or a playback: a pipeline given to RunInBackground starts each of its
// streaming tasks on a thread of its own whose nice value is raised. The decoders'
// and the encoder's worker threads, started from those threads, inherit it.
//
// GStreamer's shared thread pool is not used for them: a thread that was lowered
// could not be raised again (only a privileged process may) and would later serve
// the playback's pipelines at the lowered priority.

#include <gst/gst.h>

namespace clipexport {

// How much less important the background threads are (nice increment).
inline constexpr int kBackgroundNiceIncrement = 10;

// Makes every streaming task `pipeline` creates from now on run on a lowered thread.
void RunInBackground(GstElement* pipeline);

}  // namespace clipexport
