// Fuzzes the profile file engine and the integer text rule by which profile values become numbers: arbitrary bytes
// as a file must never crash a read, a write must change only what it was asked to change, and every text must
// read as the number a plain re-derivation of the rule gives.
//
// The first byte of an input picks the mode. A new mode is a function and an entry in kModes; the corpus's inputs
// then spread over the modes differently, which does no harm.
//
// The profile modes read the rest of an input as: one byte giving a buffer size; the section, the key and the
// value, each ended by a zero byte (names reach the profile functions as zero-terminated strings, so they hold no
// zero); then the bytes of the file.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/Locale.h"
#include "platform/kernel/ProfileText.h"
#include "runtime/IntegerText.h"

using platform::kernel::EqualIgnoringCase;
using platform::kernel::ProfileText;

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kComparedPairs = 32;  // enough to see collateral damage without making every run quadratic

void Check(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "profile invariant broken: %s\n", broken);
    std::abort();
}

struct ProfileInput {
    DWORD size = 0;
    std::string section, key, value;
    std::string file;
};

ProfileInput ReadProfileInput(std::string_view data) {
    ProfileInput input;
    if (!data.empty()) {
        input.size = static_cast<uint8_t>(data.front());
        data.remove_prefix(1);
    }
    auto field = [&data] {
        size_t zero = std::min(data.find('\0'), data.size());
        std::string text(data.substr(0, zero));
        data.remove_prefix(std::min(zero + 1, data.size()));
        return text;
    };
    input.section = field();
    input.key = field();
    input.value = field();
    input.file = data;
    return input;
}

bool SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringCase(ProfileText::Trim(a), ProfileText::Trim(b));
}

// ---- reads -------------------------------------------------------------------------------------------------------

// Reads into a heap block of exactly `size` bytes, so that the sanitizer sees a single byte written past it.
std::string ReadInto(const ProfileText& text, const char* app, const char* key, const char* fallback, DWORD size,
                     DWORD& count) {
    std::unique_ptr<char[]> buffer(new char[std::max<DWORD>(size, 1)]);
    buffer[0] = '#';
    count = text.GetString(app, key, fallback, buffer.get(), size);
    Check(size > 0 || (count == 0 && buffer[0] == '#'), "a zero-sized buffer was written");
    return std::string(buffer.get(), size);
}

void CheckValueRead(const ProfileText& text, const char* app, const char* key, const char* fallback, DWORD smallSize) {
    DWORD roomy = static_cast<DWORD>(text.Bytes().size() + (fallback ? std::string_view(fallback).size() : 0) + 2);
    DWORD full = 0;
    std::string whole = ReadInto(text, app, key, fallback, roomy, full);
    Check(full < roomy && whole[full] == '\0', "a value read is not zero-terminated");
    if (auto value = text.Value(app, key)) Check(whole.compare(0, full, *value) == 0, "GetString and Value differ");
    for (DWORD size : {DWORD{0}, DWORD{1}, DWORD{2}, smallSize}) {
        DWORD count = 0;
        std::string cut = ReadInto(text, app, key, fallback, size, count);
        if (size == 0) continue;
        Check(count == std::min(full, size - 1), "a cut value has the wrong length");
        Check(cut[count] == '\0' && cut.compare(0, count, whole, 0, count) == 0, "a cut value is not a prefix");
    }
}

void CheckListRead(const ProfileText& text, const char* app, DWORD smallSize) {
    std::string expected;
    auto collect = [&expected](std::string_view name) {
        Check(!name.empty(), "a listed name is empty");
        expected.append(name).push_back('\0');
        return true;
    };
    if (app)
        text.VisitKeyNames(app, collect);
    else
        text.VisitSectionNames(collect);

    DWORD roomy = static_cast<DWORD>(text.Bytes().size() + 2);
    DWORD full = 0;
    std::string whole = ReadInto(text, app, nullptr, "default", roomy, full);
    Check(whole.compare(0, full + 1, expected + '\0') == 0, "a name list differs from the names");
    for (DWORD size : {DWORD{1}, DWORD{2}, DWORD{3}, smallSize}) {
        if (size == 0) continue;
        DWORD count = 0;
        std::string cut = ReadInto(text, app, nullptr, "default", size, count);
        if (full + 1 <= size) {
            Check(count == full && cut.compare(0, full + 1, whole, 0, full + 1) == 0, "a list that fits was cut");
        } else if (size == 1) {
            Check(count == 0 && cut[0] == '\0', "a one-byte list buffer is not empty");
        } else {
            Check(count == size - 2 && cut[size - 2] == '\0' && cut[size - 1] == '\0', "a cut list lacks two zeros");
            Check(cut.compare(0, count, whole, 0, count) == 0, "a cut list is not a prefix");
        }
    }
}

void FuzzReads(std::string_view data) {
    ProfileInput input = ReadProfileInput(data);
    ProfileText text(input.file);
    // Names that exist in the file, so that lookups hit as well as miss.
    std::string firstSection, firstKey;
    text.VisitSectionNames([&](std::string_view name) {
        firstSection = name;
        return false;
    });
    text.VisitKeyNames(firstSection, [&](std::string_view name) {
        firstKey = name;
        return false;
    });
    const char* sections[] = {input.section.c_str(), firstSection.c_str()};
    const char* keys[] = {input.key.c_str(), firstKey.c_str()};
    for (const char* app : sections) {
        for (const char* key : keys) {
            CheckValueRead(text, app, key, input.value.c_str(), input.size);
            CheckValueRead(text, app, key, nullptr, input.size);
        }
        CheckListRead(text, app, input.size);
    }
    CheckListRead(text, nullptr, input.size);
}

// ---- writes ------------------------------------------------------------------------------------------------------

struct Pair {
    std::string section, key;
    std::optional<std::string> value;
};

// Some of the file's readable pairs, to compare before and after a write.
std::vector<Pair> SomePairs(const ProfileText& text) {
    std::vector<Pair> pairs;
    size_t sections = 0;
    text.VisitSectionNames([&](std::string_view section) {
        text.VisitKeyNames(section, [&](std::string_view key) {
            pairs.push_back({std::string(section), std::string(key), std::nullopt});
            return pairs.size() < kComparedPairs;
        });
        return pairs.size() < kComparedPairs && ++sections < kComparedPairs;
    });
    for (auto& pair : pairs) pair.value = text.Value(pair.section, pair.key);
    return pairs;
}

template <typename Touched>
void CheckOtherPairsKept(const ProfileText& text, const std::vector<Pair>& before, Touched touched) {
    for (const auto& pair : before) {
        if (touched(pair)) continue;
        auto now = text.Value(pair.section, pair.key);
        Check(now.has_value() == pair.value.has_value() && (!now || *now == *pair.value),
              "a write changed another key's value");
    }
}

// The lines of a file, each with its line end, after the byte order mark.
std::vector<std::string_view> Lines(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        size_t feed = bytes.find('\n');
        size_t length = feed == std::string_view::npos ? bytes.size() : feed + 1;
        lines.push_back(bytes.substr(0, length));
        bytes.remove_prefix(length);
    }
    return lines;
}

std::string_view LineEndOf(std::string_view line) {
    if (line.ends_with("\r\n")) return "\r\n";
    if (line.ends_with("\n")) return "\n";
    return "";
}

void CheckMarkKept(std::string_view before, std::string_view after) {
    Check(!before.starts_with(kByteOrderMark) || after.starts_with(kByteOrderMark), "the byte order mark was lost");
}

// A new value changes one line in place, or inserts up to three lines (a blank line, a header, the key) in one
// place; the line before them may gain the line end it lacked at the end of the file. All else stays.
void CheckOneChange(std::string_view before, std::string_view after) {
    CheckMarkKept(before, after);
    auto old = Lines(before);
    auto now = Lines(after);
    size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < std::min(old.size(), now.size()) - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix])
        ++suffix;
    size_t oldMiddle = old.size() - prefix - suffix;
    size_t newMiddle = now.size() - prefix - suffix;
    if (oldMiddle == 0) {
        Check(newMiddle <= 3, "a write inserted too many lines");
    } else if (oldMiddle == 1 && newMiddle == 1) {
        Check(LineEndOf(old[prefix]) == LineEndOf(now[prefix]), "a changed line lost its line end");
    } else {
        Check(oldMiddle == 1 && prefix == old.size() - 1 && LineEndOf(old[prefix]).empty(),
              "a write changed more than one line");
        std::string_view gained = now[prefix].substr(std::min(old[prefix].size(), now[prefix].size()));
        Check(now[prefix].starts_with(old[prefix]) && (gained == "\n" || gained == "\r\n"),
              "the last line changed beyond gaining a line end");
        Check(newMiddle >= 2 && newMiddle <= 4, "a write inserted too many lines");
    }
}

// A removal leaves the file's other lines as they were and in their order.
void CheckOnlyRemoved(std::string_view before, std::string_view after) {
    CheckMarkKept(before, after);
    auto old = Lines(before);
    auto now = Lines(after);
    size_t at = 0;
    for (auto line : now) {
        while (at < old.size() && old[at] != line) ++at;
        Check(at < old.size(), "a removal changed a line it kept");
        ++at;
    }
}

bool Refused(ProfileText& text, const ProfileInput& input, const char* key, const char* value) {
    if (ProfileText::Accepts(input.section.c_str(), key, value)) return false;
    Check(text.Write(input.section.c_str(), key, value) == ProfileText::WriteResult::Refused,
          "Accepts and Write disagree");
    Check(text.Bytes() == input.file, "a refused write changed the file");
    return true;
}

void FuzzSetValue(std::string_view data) {
    ProfileInput input = ReadProfileInput(data);
    ProfileText text(input.file);
    const char* section = input.section.c_str();
    const char* key = input.key.c_str();
    const char* value = input.value.c_str();
    if (Refused(text, input, key, value)) return;
    auto before = SomePairs(text);
    Check(text.Write(section, key, value) == ProfileText::WriteResult::Changed, "a write reported no change");
    CheckOneChange(input.file, text.Bytes());

    auto read = text.Value(section, key);
    Check(read.has_value(), "a written key cannot be found");
    std::string_view written = input.value;
    bool plain = written.empty() || (!ProfileText::IsBlank(written.front()) && !ProfileText::IsBlank(written.back()) &&
                                     written.front() != '"' && written.front() != '\'');
    Check(!plain || *read == written, "a written value reads back differently");
    CheckOtherPairsKept(text, before,
                        [&](const Pair& pair) { return SameName(pair.section, section) && SameName(pair.key, key); });

    ProfileText again(text.Bytes());
    again.Write(section, key, value);
    Check(again.Bytes() == text.Bytes(), "writing the same value twice changed the file twice");
}

void FuzzRemoveKey(std::string_view data) {
    ProfileInput input = ReadProfileInput(data);
    ProfileText text(input.file);
    const char* section = input.section.c_str();
    const char* key = input.key.c_str();
    if (Refused(text, input, key, nullptr)) return;
    auto before = SomePairs(text);
    bool removed = text.Write(section, key, nullptr) == ProfileText::WriteResult::Changed;
    Check(removed == (text.Bytes() != input.file), "a removal misreported whether it changed the file");
    CheckOnlyRemoved(input.file, text.Bytes());
    Check(!text.Value(section, key), "a removed key can still be read");
    CheckOtherPairsKept(text, before,
                        [&](const Pair& pair) { return SameName(pair.section, section) && SameName(pair.key, key); });
}

void FuzzRemoveSection(std::string_view data) {
    ProfileInput input = ReadProfileInput(data);
    ProfileText text(input.file);
    const char* section = input.section.c_str();
    if (Refused(text, input, nullptr, nullptr)) return;
    auto before = SomePairs(text);
    bool removed = text.Write(section, nullptr, nullptr) == ProfileText::WriteResult::Changed;
    Check(removed == (text.Bytes() != input.file), "a removal misreported whether it changed the file");
    CheckOnlyRemoved(input.file, text.Bytes());
    text.VisitSectionNames([&](std::string_view name) {
        Check(!SameName(name, section), "a removed section is still listed");
        return true;
    });
    CheckOtherPairsKept(text, before, [&](const Pair& pair) { return SameName(pair.section, section); });
}

// The integer text rule derived again the plain way, with exact 64-bit arithmetic and one limit check at the end:
// blanks, then a sign with decimal digits, or hexadecimal after "$", "x", "X", "0x", "0X", or decimal digits.
std::optional<int32_t> ReferenceInteger(std::string_view text) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    text.remove_prefix(start);
    auto accumulate = [](std::string_view digits, int base) -> std::optional<uint64_t> {
        if (digits.empty()) return std::nullopt;
        uint64_t value = 0;
        for (char c : digits) {
            int digit = c >= '0' && c <= '9' ? c - '0'
                        : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                             : -1;
            if (digit < 0) return std::nullopt;
            value = std::min<uint64_t>(value * base + static_cast<uint64_t>(digit), uint64_t{1} << 40);
        }
        return value;
    };
    bool hex = text[0] == '$' || text[0] == 'x' || text[0] == 'X' ||
               (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'));
    if (hex) {
        auto value = accumulate(text.substr(text[0] == '0' ? 2 : 1), 16);
        if (!value || *value > 0xFFFFFFFFu) return std::nullopt;
        return static_cast<int32_t>(static_cast<uint32_t>(*value));
    }
    bool negative = text[0] == '-';
    auto value = accumulate(text.substr(negative || text[0] == '+' ? 1 : 0), 10);
    if (!value || *value > (negative ? 2147483648u : 2147483647u)) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(*value) : static_cast<int64_t>(*value));
}

void FuzzIntegerText(std::string_view data) {
    // An exactly sized heap copy, so that reading one byte too far is caught.
    auto copy = std::make_unique<char[]>(data.size());
    std::copy(data.begin(), data.end(), copy.get());
    std::string_view text(copy.get(), data.size());
    int32_t value = 0;
    bool valid = TryTextToInt(text, value);
    auto expected = ReferenceInteger(text);
    Check(valid == expected.has_value(), "integer text: valid or not");
    if (!valid) return;
    Check(value == *expected, "integer text: value");
    int32_t again = 0;
    Check(TryTextToInt(IntToText(value), again) && again == value, "integer text: written value reads back");
}

using Mode = void (*)(std::string_view data);
constexpr Mode kModes[] = {FuzzReads, FuzzSetValue, FuzzRemoveKey, FuzzRemoveSection, FuzzIntegerText};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    kModes[data[0] % std::size(kModes)](input);
    return 0;
}
