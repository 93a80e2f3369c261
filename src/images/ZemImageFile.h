#pragma once
// Picture files as wholes: the image loader (BMP and PNG, chosen by content) and the writer of
// snapshots (BMP, or PNG when the name ends in ".png").
#include "base/ZemPixels.h"

#include <string>

namespace zem {

// Result codes of the image loader.
enum : int { ilLoaded = 0, ilCannotOpen = 2, ilNotImage = 5 };

// Loads FileName into Image: ilLoaded, ilCannotOpen when the file cannot be read, ilNotImage when it is
// not a picture this loader can read (Image is left empty then).
int LoadImageFile(const std::string& FileName, TZemImage& Image);

// The same, raising EZemError with the reason instead of returning a code.
TZemImage ReadImageFile(const std::string& FileName);

// Writes the pixels as a 32-bit BMP file, or as a PNG file when the name ends in ".png" (any
// case), through a temporary file beside the target that is renamed over it, so that a failure never
// leaves half a file. Raises EZemError on a failure.
void SaveImageFile(const std::string& FileName, TPixelView Pixels);

} // namespace zem
