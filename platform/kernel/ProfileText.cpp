#include "platform/kernel/ProfileText.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/Locale.h"

namespace platform::kernel {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameName(std::string_view stored, std::string_view wanted) {
    return !stored.empty() && EqualIgnoringCase(stored, wanted);
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

DWORD CopyValue(std::string_view value, LPSTR buffer, DWORD size) {
    size_t count = std::min<size_t>(value.size(), size - 1);
    std::memmove(buffer, value.data(), count);  // a caller may pass its buffer as the default
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// Zero-terminated names and a final zero. A list that does not fit is cut wherever the buffer ends and closed with
// two zeros, and its count is then size - 2, which is how a caller knows it was cut.
class NameList {
  public:
    NameList(LPSTR buffer, DWORD size) : buffer_(buffer), size_(size) {}

    bool Add(std::string_view name) {
        if (used_ + name.size() + 2 <= size_) {
            std::memcpy(buffer_ + used_, name.data(), name.size());
            used_ += name.size();
            buffer_[used_++] = '\0';
            return true;
        }
        cut_ = true;
        if (size_ < 2) return false;
        size_t room = used_ < size_ - 2 ? size_ - 2 - used_ : 0;
        std::memcpy(buffer_ + used_, name.data(), std::min(room, name.size()));
        used_ = size_ - 2;
        buffer_[used_] = '\0';
        buffer_[used_ + 1] = '\0';
        return false;
    }

    DWORD Finish() {
        if (!cut_ || size_ < 2) {
            buffer_[used_] = '\0';
            if (used_ == 0 && size_ >= 2) buffer_[1] = '\0';
        }
        return static_cast<DWORD>(used_);
    }

  private:
    LPSTR buffer_;
    size_t size_;
    size_t used_ = 0;
    bool cut_ = false;
};

}  // namespace

std::string_view ProfileText::Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool ProfileText::IsWritableSection(std::string_view section) {
    std::string_view name = Trim(section);
    return !name.empty() && !HasLineBreak(section) && name.find(']') == std::string_view::npos;
}

bool ProfileText::IsWritableKey(std::string_view key) {
    std::string_view name = Trim(key);
    return !name.empty() && !HasLineBreak(key) && name.find('=') == std::string_view::npos && name.front() != ';' &&
           name.front() != '[';
}

bool ProfileText::IsWritableValue(std::string_view value) { return !HasLineBreak(value); }

size_t ProfileText::FirstLine() const {
    return std::string_view(bytes_).starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

ProfileText::Line ProfileText::ReadLine(size_t begin) const {
    Line line;
    line.begin = begin;
    const char* data = bytes_.data();
    if (auto* feed = static_cast<const char*>(std::memchr(data + begin, '\n', bytes_.size() - begin))) {
        size_t at = static_cast<size_t>(feed - data);
        line.end = at + 1;
        line.contentEnd = at > begin && data[at - 1] == '\r' ? at - 1 : at;
    } else {
        line.end = line.contentEnd = bytes_.size();
    }
    std::string_view content(data + begin, line.contentEnd - begin);
    size_t first = 0;
    while (first < content.size() && IsBlank(content[first])) ++first;
    if (first == content.size()) {
        line.kind = LineKind::Blank;
    } else if (content[first] == ';') {
        line.kind = LineKind::Comment;
    } else if (content[first] == '[') {
        size_t close = content.rfind(']');
        if (close == std::string_view::npos) close = content.size();
        line.kind = LineKind::Section;
        line.name = Trim(content.substr(first + 1, close - first - 1));
    } else if (size_t equals = content.find('=', first); equals != std::string_view::npos) {
        line.name = Trim(content.substr(first, equals - first));
        if (line.name.empty()) return line;
        line.kind = LineKind::Key;
        line.value = Unquoted(Trim(content.substr(equals + 1)));
        line.afterEquals = begin + equals + 1;
    }
    return line;
}

std::optional<ProfileText::SectionSpan> ProfileText::FindSection(std::string_view name) const {
    if (name.empty()) return std::nullopt;
    std::optional<SectionSpan> span;
    for (size_t at = FirstLine(); at < bytes_.size();) {
        Line line = ReadLine(at);
        if (line.kind == LineKind::Section) {
            if (span) {
                span->end = line.begin;
                return span;
            }
            if (SameName(line.name, name)) span = SectionSpan{line.end, bytes_.size(), line.end};
        } else if (span && line.kind != LineKind::Blank) {
            span->lastContent = line.end;
        }
        at = line.end;
    }
    return span;
}

std::string_view ProfileText::LineEnd() const {
    size_t feed = bytes_.find('\n');
    if (feed != std::string::npos && feed > 0 && bytes_[feed - 1] == '\r') return "\r\n";
    return "\n";
}

std::optional<std::string_view> ProfileText::Value(std::string_view section, std::string_view key) const {
    key = Trim(key);
    auto span = FindSection(Trim(section));
    if (!span || key.empty()) return std::nullopt;
    for (size_t at = span->bodyBegin; at < span->end;) {
        Line line = ReadLine(at);
        if (line.kind == LineKind::Key && SameName(line.name, key)) return line.value;
        at = line.end;
    }
    return std::nullopt;
}

void ProfileText::VisitSectionNames(const std::function<bool(std::string_view)>& visit) const {
    for (size_t at = FirstLine(); at < bytes_.size();) {
        Line line = ReadLine(at);
        if (line.kind == LineKind::Section && !line.name.empty() && !visit(line.name)) return;
        at = line.end;
    }
}

void ProfileText::VisitKeyNames(std::string_view section, const std::function<bool(std::string_view)>& visit) const {
    auto span = FindSection(Trim(section));
    if (!span) return;
    for (size_t at = span->bodyBegin; at < span->end;) {
        Line line = ReadLine(at);
        if (line.kind == LineKind::Key && !visit(line.name)) return;
        at = line.end;
    }
}

void ProfileText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    std::string_view lineEnd = LineEnd();
    std::string added;
    if (auto span = FindSection(section)) {
        for (size_t at = span->bodyBegin; at < span->end;) {
            Line line = ReadLine(at);
            if (line.kind == LineKind::Key && SameName(line.name, key)) {
                // "Top = 10" stays spaced, unless the blanks would become part of the value or stay behind alone;
                // either way writing the same value again gives the same line.
                size_t from = line.afterEquals;
                if (!value.empty() && !IsBlank(value.front())) {
                    while (from < line.contentEnd && IsBlank(bytes_[from])) ++from;
                    if (from == line.contentEnd) from = line.afterEquals;
                }
                bytes_.replace(from, line.contentEnd - from, value);
                return;
            }
            at = line.end;
        }
        if (span->lastContent == bytes_.size() && bytes_.back() != '\n') added += lineEnd;
        added.append(key).append("=").append(value).append(lineEnd);
        bytes_.insert(span->lastContent, added);
        return;
    }
    size_t first = FirstLine();
    if (bytes_.size() > first) {
        if (bytes_.back() != '\n') added += lineEnd;
        // A blank line before the new section, unless the file already ends with one.
        size_t end = bytes_.size() - (bytes_.back() == '\n' ? 1 : 0);
        size_t feed = end > first ? bytes_.rfind('\n', end - 1) : std::string::npos;
        size_t lastLine = feed == std::string::npos || feed < first ? first : feed + 1;
        if (ReadLine(lastLine).kind != LineKind::Blank) added += lineEnd;
    }
    added.append("[").append(section).append("]").append(lineEnd);
    added.append(key).append("=").append(value).append(lineEnd);
    bytes_ += added;
}

bool ProfileText::RemoveKey(std::string_view section, std::string_view key) {
    key = Trim(key);
    auto span = FindSection(Trim(section));
    if (!span || key.empty()) return false;
    std::string kept;
    kept.reserve(bytes_.size());
    kept.append(bytes_, 0, span->bodyBegin);
    bool removed = false;
    for (size_t at = span->bodyBegin; at < span->end;) {
        Line line = ReadLine(at);
        if (line.kind == LineKind::Key && SameName(line.name, key))
            removed = true;
        else
            kept.append(bytes_, line.begin, line.end - line.begin);
        at = line.end;
    }
    if (!removed) return false;
    kept.append(bytes_, span->end);
    bytes_ = std::move(kept);
    return true;
}

bool ProfileText::RemoveSection(std::string_view section) {
    section = Trim(section);
    if (section.empty()) return false;
    size_t first = FirstLine();
    std::string kept;
    kept.reserve(bytes_.size());
    kept.append(bytes_, 0, first);
    bool removing = false;
    bool removed = false;
    for (size_t at = first; at < bytes_.size();) {
        Line line = ReadLine(at);
        if (line.kind == LineKind::Section) removing = SameName(line.name, section);
        if (removing)
            removed = true;
        else
            kept.append(bytes_, line.begin, line.end - line.begin);
        at = line.end;
    }
    if (!removed) return false;
    bytes_ = std::move(kept);
    return true;
}

DWORD ProfileText::GetString(LPCSTR app, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size) const {
    if (!buffer || size == 0) return 0;
    if (!app || !key) {
        NameList list(buffer, size);
        auto add = [&list](std::string_view name) { return list.Add(name); };
        if (app)
            VisitKeyNames(app, add);
        else
            VisitSectionNames(add);
        return list.Finish();
    }
    if (auto value = Value(app, key)) return CopyValue(*value, buffer, size);
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
    return CopyValue(fallback, buffer, size);
}

bool ProfileText::Accepts(LPCSTR app, LPCSTR key, LPCSTR value) {
    return app && IsWritableSection(app) && (!key || IsWritableKey(key)) && (!key || !value || IsWritableValue(value));
}

ProfileText::WriteResult ProfileText::Write(LPCSTR app, LPCSTR key, LPCSTR value) {
    if (!Accepts(app, key, value)) return WriteResult::Refused;
    if (!key) return RemoveSection(app) ? WriteResult::Changed : WriteResult::Unchanged;
    if (!value) return RemoveKey(app, key) ? WriteResult::Changed : WriteResult::Unchanged;
    // Even the value already there counts as a change: the file is written, so that a read-only settings file is
    // reported at the first save rather than at the first save that differs.
    SetValue(app, key, value);
    return WriteResult::Changed;
}

}  // namespace platform::kernel
