#include "browse/DirectorySearch.h"

#include "runtime/Exception.h"

namespace {

// DOS's volume label bit, which Windows' headers no longer name.
constexpr DWORD kVolumeLabelAttribute = 0x00000008;
constexpr DWORD kSkippableAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute | FILE_ATTRIBUTE_DIRECTORY;

// The platform's answers for a pattern that matches nothing or names a place that is not there.
bool FoundNothing(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NO_MORE_FILES:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH: return true;
        default: return false;
    }
}

class SearchHandle {
  public:
    explicit SearchHandle(HANDLE handle) : handle_(handle) {}
    ~SearchHandle() { FindClose(handle_); }
    SearchHandle(const SearchHandle&) = delete;
    SearchHandle& operator=(const SearchHandle&) = delete;
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

}  // namespace

void SearchDirectory(std::string_view pattern, DWORD requested, const std::function<void(const TSearchEntry&)>& found,
                     bool directoriesOnly) {
    WIN32_FIND_DATAA data;
    HANDLE first = FindFirstFileExA(std::string(pattern).c_str(), FindExInfoBasic, &data,
                                    directoriesOnly ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) {
        if (FoundNothing(GetLastError())) return;
        throw EInOutError::FromLastError();
    }
    SearchHandle search(first);
    do {
        if ((data.dwFileAttributes & kSkippableAttributes & ~requested) == 0)
            found(TSearchEntry{data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(search.Get(), &data));
}
