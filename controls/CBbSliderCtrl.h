#pragma once
// The seek bar under the video. Its range is the recording's duration in milliseconds;
// it draws a capped strip from `channelImage`, the played part from the progress tile
// 1055 and an 11 x 22 thumb, and seeks the player itself on click and drag (through
// its SeekTarget), except while the owner is busy loading.

#include <QAbstractSlider>
#include <vector>

#include "controls/SkinPalette.h"
#include "telemetry/SeekMarkers.h"

class SeekTarget;

class CBbSliderCtrl : public QAbstractSlider {
  Q_OBJECT

 public:
  static constexpr int kThumbWidth = 11;
  static constexpr int kThumbHeight = 22;
  static constexpr int kProgressHeight = 7;

  CBbSliderCtrl(int controlId, QWidget* parent);

  int channelImage = 0;
  int thumbImage = 0;
  COLORREF backgroundColour = skin::kWindowBackground;
  int margin = 15;
  bool dragging = false;

  // The player window; may stay null (the bar then only moves its thumb).
  void SetSeekTarget(SeekTarget* target) { seekTarget = target; }

  // The position a click at x stands for: x * maximum / client width, held to the range;
  // the last pixel column gives the maximum itself.
  int PositionAt(int x) const;
  // Width of the played part of the strip.
  int ProgressWidth() const;
  // Left edge of the thumb for the current value.
  int ThumbLeft() const;

  // The export's marks on this recording, in the bar's units; -1 for none. The start
  // and end marks are drawn as coloured lines, the marked part between them shaded.
  void SetMarks(int start, int end, int bandFrom, int bandTo);
  int MarkStart() const { return markStart; }
  int MarkEnd() const { return markEnd; }
  // The x of a position on the strip.
  int XOf(int position) const;

  // The recording's markers (hard G, an event's trigger), drawn as small triangles over
  // the strip; a click within kMarkerReach pixels of one seeks to its very moment.
  static constexpr int kMarkerReach = 4;
  void SetSeekMarkers(const std::vector<SeekMarker>& markers);
  const std::vector<SeekMarker>& SeekMarkers() const { return seekMarkers; }
  // The position a click at x seeks to: the nearest marker's time within reach, else
  // PositionAt(x).
  int ClickPosition(int x) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  bool Busy() const;
  void SeekTo(int position);

  SeekTarget* seekTarget = nullptr;
  int markStart = -1;
  int markEnd = -1;
  int bandFrom = -1;
  int bandTo = -1;
  std::vector<SeekMarker> seekMarkers;
};
