#include "tools/print/PrintContext.h"

#include "tools/capture/CaptureJpeg.h"
#include "tools/print/ReportLayout.h"

namespace {

QImage Grab(playback::CPlayer& player, int channel) {
  playback::CapturedImage image;
  if (!player.GrabFrame(channel, &image)) return {};
  return CapturedToQImage(image);
}

}  // namespace

void TakeReportMoment(PrintContext& context, playback::CPlayer& player, int videoChannels, std::int32_t positionMs,
                      const TelemetrySamples& samples, const QImage& mapSnapshot) {
  context.channelCount = videoChannels;
  context.picture1 = Grab(player, 0);
  context.picture2 = videoChannels >= 2 ? Grab(player, 1) : QImage();
  context.values = LookUpReportValues(samples, positionMs);
  context.mapWindow = mapSnapshot;
}
