#include "tree/user_list.h"

#include <objbase.h>
#include <windows.h>

#include "config/enterprise.h"
#include "platform/codepage.h"
#include "platform/win32/late_bound.h"
#include "tree/user_list_scan.h"

namespace {

// A users stream is a few kilobytes; a larger size means a damaged or foreign file.
constexpr ULONGLONG kMaxStreamBytes = 16 * 1024 * 1024;

// One COM interface pointer, released once.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(ComRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  ComRef& operator=(ComRef&& o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T** Out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

bool ReadStream(IStream* stream, std::string& bytes) {
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > kMaxStreamBytes)
    return false;
  bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    ULONG got = 0;
    HRESULT hr = stream->Read(bytes.data() + done, static_cast<ULONG>(bytes.size() - done), &got);
    if (FAILED(hr) || got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return true;
}

}  // namespace

bool ReadUserList(const std::string& infobasePath, std::vector<std::string>& names) {
  names.clear();
  std::wstring file = platform::Widen(infobasePath + enterprise::kUserListFile);
  if (file.size() >= MAX_PATH) return false;
  // ole32 is loaded by the first user list, not at the program's start.
  const auto openStorage =
      platform::win32::LateBound<decltype(&StgOpenStorage)>(L"ole32.dll", "StgOpenStorage");
  ComRef<IStorage> storage;
  if (openStorage == nullptr ||
      FAILED(openStorage(file.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                         storage.Out())))
    return false;
  ComRef<IStream> stream;
  if (FAILED(storage->OpenStream(L"Container.Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                 0, stream.Out())))
    return false;
  std::string bytes;
  if (!ReadStream(stream.operator->(), bytes)) return false;
  names = ScanUserNames(bytes);
  return !names.empty();
}
