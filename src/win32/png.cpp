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
#include "win32/wide_text.h"

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
    f.startup = SystemFunction<decltype(f.startup)>(kDll, "GdiplusStartup");
    f.shutdown = SystemFunction<decltype(f.shutdown)>(kDll, "GdiplusShutdown");
    f.createBitmap = SystemFunction<decltype(f.createBitmap)>(kDll, "GdipCreateBitmapFromHBITMAP");
    f.encodersSize = SystemFunction<decltype(f.encodersSize)>(kDll, "GdipGetImageEncodersSize");
    f.encoders = SystemFunction<decltype(f.encoders)>(kDll, "GdipGetImageEncoders");
    f.save = SystemFunction<decltype(f.save)>(kDll, "GdipSaveImageToStream");
    f.dispose = SystemFunction<decltype(f.dispose)>(kDll, "GdipDisposeImage");
    f.memoryStream = SystemFunction<decltype(f.memoryStream)>(L"ole32.dll", "CreateStreamOnHGlobal");
    f.memoryOf = SystemFunction<decltype(f.memoryOf)>(L"ole32.dll", "GetHGlobalFromStream");
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
  const auto* found = std::find_if(codecs, codecs + count, [](const Gdiplus::ImageCodecInfo& codec) {
    return codec.MimeType && lstrcmpiW(codec.MimeType, L"image/png") == 0;
  });
  if (found != codecs + count) clsid = found->Clsid;
  return found != codecs + count;
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
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                 static_cast<DWORD>(std::size(text)), nullptr);
  return Utf8(text);
}

// A new file of its own in `folder`; GetTempFileName takes no folder
// longer than MAX_PATH less 14.
HANDLE NewTempFile(const std::wstring& folder, std::wstring* name) {
  HANDLE file = INVALID_HANDLE_VALUE;
  const std::wstring stem = folder + L"tol" + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (unsigned n = 0; n < 100 && file == INVALID_HANDLE_VALUE; ++n) {
    *name = LongPath(stem + std::to_wstring(GetTickCount() + n) + L".tmp");
    file = CreateFileW(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return file;
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);  // \\server\share
  if (path.size() > 2 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return L"\\\\?\\" + path;
  return path;  // relative: as it is
}

bool SavePng(HBITMAP bitmap, const std::wstring& target, std::string* reason) {
  const std::wstring path = LongPath(target);
  std::string png;
  if (!EncodePng(bitmap, png)) {
    *reason = "the image could not be encoded";
    return false;
  }
  // Written to a file of its own beside the target, and moved over it only
  // once complete: a full disk or any other failure leaves the file of that
  // name as it was.
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L".\\" : path.substr(0, slash + 1);
  std::wstring temp;
  HANDLE file = NewTempFile(folder, &temp);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = SystemReason(GetLastError());
    return false;
  }
  DWORD written = 0;
  bool whole = WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
               written == png.size() && FlushFileBuffers(file);
  DWORD error = whole ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  if (whole && !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    whole = false;
    error = GetLastError();
  }
  if (whole) return true;
  DeleteFileW(temp.c_str());
  *reason = SystemReason(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
  return false;
}

}  // namespace tolvane::ui::win
