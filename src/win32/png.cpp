#include "win32/png.h"

#include <objidl.h>

#include <algorithm>
#include <vector>

// Microsoft's GDI+ headers want min and max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "win32/system_library.h"

namespace tolvane::ui::win {
namespace {

using Gdiplus::GpBitmap;
using Gdiplus::GpImage;
using Gdiplus::GpStatus;

// GDI+'s flat functions, taken from gdiplus.dll when the first image is
// saved: the program doesn't load GDI+ at its start.
struct GdiPlus {
  decltype(&Gdiplus::GdiplusStartup) startup;
  decltype(&Gdiplus::GdiplusShutdown) shutdown;
  GpStatus(WINAPI* createBitmap)(HBITMAP, HPALETTE, GpBitmap**);
  GpStatus(WINAPI* encodersSize)(UINT*, UINT*);
  GpStatus(WINAPI* encoders)(UINT, UINT, Gdiplus::ImageCodecInfo*);
  GpStatus(WINAPI* save)(GpImage*, const WCHAR*, const CLSID*, const Gdiplus::EncoderParameters*);
  GpStatus(WINAPI* dispose)(GpImage*);

  bool complete() const { return startup && shutdown && createBitmap && encodersSize && encoders && save && dispose; }
};

const GdiPlus& Functions() {
  static const GdiPlus gdi = [] {
    constexpr const wchar_t* kDll = L"gdiplus.dll";
    GdiPlus f{};
    f.startup = SystemFunction<std::remove_pointer_t<decltype(f.startup)>>(kDll, "GdiplusStartup");
    f.shutdown = SystemFunction<std::remove_pointer_t<decltype(f.shutdown)>>(kDll, "GdiplusShutdown");
    f.createBitmap = SystemFunction<std::remove_pointer_t<decltype(f.createBitmap)>>(kDll, "GdipCreateBitmapFromHBITMAP");
    f.encodersSize = SystemFunction<std::remove_pointer_t<decltype(f.encodersSize)>>(kDll, "GdipGetImageEncodersSize");
    f.encoders = SystemFunction<std::remove_pointer_t<decltype(f.encoders)>>(kDll, "GdipGetImageEncoders");
    f.save = SystemFunction<std::remove_pointer_t<decltype(f.save)>>(kDll, "GdipSaveImageToFile");
    f.dispose = SystemFunction<std::remove_pointer_t<decltype(f.dispose)>>(kDll, "GdipDisposeImage");
    return f;
  }();
  return gdi;
}

bool PngEncoder(const GdiPlus& gdi, CLSID& clsid) {
  UINT count = 0, bytes = 0;
  if (gdi.encodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<unsigned char> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (gdi.encoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && lstrcmpiW(codecs[i].MimeType, L"image/png") == 0) {
      clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SavePng(HBITMAP bitmap, const std::wstring& path) {
  const GdiPlus& gdi = Functions();
  if (!gdi.complete()) return false;
  // Started for this one save only: saving is rare, and GDI+ holds a thread
  // of its own while it runs.
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (gdi.startup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  GpBitmap* image = nullptr;
  if (gdi.createBitmap(bitmap, nullptr, &image) == Gdiplus::Ok && image) {
    CLSID png;
    saved = PngEncoder(gdi, png) && gdi.save(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
    gdi.dispose(image);
  }
  gdi.shutdown(token);
  return saved;
}

}  // namespace tolvane::ui::win
