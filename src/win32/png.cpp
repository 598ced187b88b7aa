#include "win32/png.h"

#include <objidl.h>

#include <algorithm>
#include <string>
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
  GpStatus(WINAPI* save)(GpImage*, IStream*, const CLSID*, const Gdiplus::EncoderParameters*);
  GpStatus(WINAPI* dispose)(GpImage*);
  decltype(&CreateStreamOnHGlobal) memoryStream;
  decltype(&GetHGlobalFromStream) memoryOf;

  bool complete() const {
    return startup && shutdown && createBitmap && encodersSize && encoders && save && dispose && memoryStream &&
           memoryOf;
  }
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
    f.save = SystemFunction<std::remove_pointer_t<decltype(f.save)>>(kDll, "GdipSaveImageToStream");
    f.dispose = SystemFunction<std::remove_pointer_t<decltype(f.dispose)>>(kDll, "GdipDisposeImage");
    f.memoryStream = SystemFunction<std::remove_pointer_t<decltype(f.memoryStream)>>(L"ole32.dll", "CreateStreamOnHGlobal");
    f.memoryOf = SystemFunction<std::remove_pointer_t<decltype(f.memoryOf)>>(L"ole32.dll", "GetHGlobalFromStream");
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

// The PNG's bytes, encoded by GDI+ into memory: the file is written by us,
// so that a write that fails is seen.
bool EncodePng(HBITMAP bitmap, std::string& bytes) {
  const GdiPlus& gdi = Functions();
  if (!gdi.complete()) return false;
  // Started for this one save only: saving is rare, and GDI+ holds a thread
  // of its own while it runs.
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (gdi.startup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool encoded = false;
  GpBitmap* image = nullptr;
  IStream* stream = nullptr;
  CLSID png;
  if (gdi.createBitmap(bitmap, nullptr, &image) == Gdiplus::Ok && image && PngEncoder(gdi, png) &&
      gdi.memoryStream(nullptr, TRUE, &stream) == S_OK && gdi.save(image, stream, &png, nullptr) == Gdiplus::Ok) {
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (gdi.memoryOf(stream, &memory) == S_OK && stream->Stat(&stat, STATFLAG_NONAME) == S_OK) {
      if (const void* data = GlobalLock(memory)) {
        bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(stat.cbSize.QuadPart));
        encoded = true;
        GlobalUnlock(memory);
      }
    }
  }
  if (stream) stream->Release();
  if (image) gdi.dispose(image);
  gdi.shutdown(token);
  return encoded;
}

std::string SystemReason(DWORD error) {
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                 nullptr);
  return text;
}

}  // namespace

bool SavePng(HBITMAP bitmap, const std::string& ansiPath, std::string* reason) {
  std::wstring path(ansiPath.size() + 1, L'\0');
  path.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, ansiPath.c_str(), -1, path.data(), static_cast<int>(path.size()))));
  if (!path.empty()) path.pop_back();  // the terminating NUL
  std::string png;
  if (!EncodePng(bitmap, png)) {
    *reason = "the image could not be encoded";
    return false;
  }
  // Written to a file of its own beside the target, and moved over it only
  // once complete: a full disk or any other failure leaves the file of that
  // name as it was.
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
  wchar_t temp[MAX_PATH];
  if (GetTempFileNameW(folder.c_str(), L"tol", 0, temp) == 0) {
    *reason = SystemReason(GetLastError());
    return false;
  }
  HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  bool whole = file != INVALID_HANDLE_VALUE &&
               WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
               written == png.size() && FlushFileBuffers(file);
  DWORD error = whole ? ERROR_SUCCESS : GetLastError();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (whole && !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    whole = false;
    error = GetLastError();
  }
  if (whole) return true;
  DeleteFileW(temp);
  *reason = SystemReason(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
  return false;
}

}  // namespace tolvane::ui::win
