#pragma once
// The product logo: JPEG data stored as an RCDATA resource of the executable
// (about/about_logo.rc) and decoded when the About window opens.

#include <cstdint>
#include <span>

#include "about/jpeg_image.h"

namespace about {

// Name of the RCDATA resource that holds the logo's JPEG data.
inline constexpr const char* kLogoResourceName = "QUORVEL_ABOUT_LOGO";

// The logo's JPEG bytes as linked into the running executable; throws
// std::runtime_error when the resource is missing.
std::span<const std::uint8_t> LogoJpegData();

// The decoded logo (200 x 60).
DecodedImage DecodeLogo();

}  // namespace about
