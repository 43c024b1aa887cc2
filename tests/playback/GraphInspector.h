#pragma once
// The elements of a built graph, for the playback suites only: the graph names this
// class its friend, and nothing outside the tests reaches its GStreamer elements.
// Borrowed: valid until the graph's next Teardown; null where the graph has none.

#include "playback/CPlaybackGraph.h"

namespace playback {

class CPlaybackGraphInspector {
 public:
  explicit CPlaybackGraphInspector(const CPlaybackGraph& graph) : graph_(graph) {}

  GstElement* pipeline() const { return graph_.graph_.get(); }
  GstElement* source() const { return graph_.source_.get(); }
  GstElement* renderer(int channel) const { return CPlaybackGraph::At(graph_.renderer_, channel); }
  GstElement* decoder(int channel) const { return CPlaybackGraph::At(graph_.decoder_, channel); }
  GstElement* brightness(int channel) const { return CPlaybackGraph::At(graph_.brightness_, channel); }
  GstElement* converter(int channel) const { return CPlaybackGraph::At(graph_.converter_, channel); }
  GstElement* audioDecoder() const { return graph_.audioDecoder_.get(); }
  GstElement* audioRenderer() const { return graph_.audioRenderer_.get(); }

 private:
  const CPlaybackGraph& graph_;
};

inline CPlaybackGraphInspector Elements(const CPlaybackGraph& graph) { return CPlaybackGraphInspector(graph); }

}  // namespace playback
