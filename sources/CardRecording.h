#pragma once
// The card side of opening a recording for playing: an intact recording with sound
// plays straight from the card; a cut-off or soundless one is first rebuilt from the
// card into the temporary folder.

#include <filesystem>

#include "sources/RecordingEntry.h"
#include "tools/repair/RecordingRebuild.h"

// entry is a card recording (cardFileNumber > 0) listed from the card open on
// device. The outcome says whether to play the card file itself (PlayDirectly) or
// the file in outcome.output; NotReadable when the card does not give the file.
repair::PrepareOutcome PrepareCardRecording(void* device, const RecordingEntry& entry,
                                            const std::filesystem::path& tempFolder);
