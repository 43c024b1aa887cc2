#pragma once
// Access to the compiled-in skin images.

#include <QString>

// Registers the skin resources of the static library tarvo_skin. Call once before the
// first image is loaded (the viewer's main and every test that draws); further calls do
// nothing.
void InitSkinResources();

namespace skin {

// ":/skin/<id>.png"
QString SkinResourcePath(int id);

// The window icon (the same picture as image 198).
inline constexpr const char* kWindowIconPath = ":/icons/tarvo-viewer.png";

}  // namespace skin
