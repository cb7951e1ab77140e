#include "about/about_logo.h"

#include <windows.h>

#include <stdexcept>

namespace about {

std::span<const std::uint8_t> LogoJpegData() {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC resource = ::FindResourceA(module, kLogoResourceName, RT_RCDATA);
  HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  DWORD size = resource ? ::SizeofResource(module, resource) : 0;
  // Resources stay mapped for the life of the module: nothing to release.
  if (!data || size == 0) throw std::runtime_error("The program's logo is missing");
  return {static_cast<const std::uint8_t*>(data), size};
}

DecodedImage DecodeLogo() { return DecodeJpeg(LogoJpegData()); }

}  // namespace about
