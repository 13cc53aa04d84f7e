#include "frame/IniFiles.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "platform/win32.h"
#include "runtime/Exception.h"
#include "runtime/IntegerText.h"
#include "runtime/RealText.h"

namespace {

// A value is read through a fixed buffer on the stack, so a stored value comes back with at most 2047 bytes.
constexpr DWORD kTextBufferSize = 2048;
// Name lists (all sections, all keys of a section) come through one heap buffer of this size per call.
constexpr DWORD kNameBufferSize = 16384;

}  // namespace

// ---- TCustomIniFile: typed operations over the text operations ---------------------------------------------------

int32_t TCustomIniFile::ReadNumber(const std::string& section, const std::string& key, int32_t defaultValue) const {
    std::string text = ReadText(section, key, "");
    // "0x1F" is read as "$1F".
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    int32_t value = 0;
    return TryTextToInt(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteNumber(const std::string& section, const std::string& key, int32_t value) {
    WriteText(section, key, IntToText(value));
}

bool TCustomIniFile::ReadFlag(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadNumber(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteFlag(const std::string& section, const std::string& key, bool value) {
    WriteText(section, key, value ? "1" : "0");
}

template <typename Parse>
TDateTime TCustomIniFile::ReadConverted(const std::string& section, const std::string& key, TDateTime defaultValue,
                                        Parse parse) const {
    std::string text = ReadText(section, key, "");
    if (text.empty()) return defaultValue;
    try {
        return parse(text);
    } catch (const EConvertError&) {
        return defaultValue;
    }
}

TDateTime TCustomIniFile::ReadCalendarDate(const std::string& section, const std::string& key,
                                           TDateTime defaultValue) const {
    return ReadConverted(section, key, defaultValue, TextToDate);
}

TDateTime TCustomIniFile::ReadTimestamp(const std::string& section, const std::string& key,
                                        TDateTime defaultValue) const {
    return ReadConverted(section, key, defaultValue, TextToDateTime);
}

double TCustomIniFile::ReadReal(const std::string& section, const std::string& key, double defaultValue) const {
    return ReadConverted(section, key, defaultValue, TextToReal);
}

TDateTime TCustomIniFile::ReadClockTime(const std::string& section, const std::string& key,
                                        TDateTime defaultValue) const {
    return ReadConverted(section, key, defaultValue, TextToTime);
}

void TCustomIniFile::WriteCalendarDate(const std::string& section, const std::string& key, TDateTime value) {
    WriteText(section, key, DateToText(value));
}

void TCustomIniFile::WriteTimestamp(const std::string& section, const std::string& key, TDateTime value) {
    WriteText(section, key, DateTimeToText(value));
}

void TCustomIniFile::WriteReal(const std::string& section, const std::string& key, double value) {
    WriteText(section, key, RealToText(value));
}

void TCustomIniFile::WriteClockTime(const std::string& section, const std::string& key, TDateTime value) {
    WriteText(section, key, TimeToText(value));
}

// ---- TIniFile: the platform's profile functions ------------------------------------------------------------------

std::string TIniFile::ReadText(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
    char buffer[kTextBufferSize];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                            kTextBufferSize, FilePath().c_str());
    return std::string(buffer, std::min(length, kTextBufferSize - 1));
}

void TIniFile::WriteText(const std::string& section, const std::string& key, const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FilePath().c_str()))
        RaiseWriteError();
}

void TIniFile::ReadNames(const char* section, TStrings& target) const {
    auto buffer = std::make_unique<char[]>(kNameBufferSize);
    runtime::UpdateBracket bracket(target);
    target.RemoveAll();
    DWORD length = GetPrivateProfileStringA(section, nullptr, nullptr, buffer.get(), kNameBufferSize,
                                            FilePath().c_str());
    // The names stand one after the other, each ending in a zero byte, until an empty one. Nothing past the
    // returned length is looked at, whatever the platform wrote.
    std::string_view names(buffer.get(), std::min(length, kNameBufferSize));
    while (!names.empty() && names[0] != '\0') {
        size_t end = names.find('\0');
        target.AppendLine(names.substr(0, end));
        if (end == std::string_view::npos) break;
        names.remove_prefix(end + 1);
    }
}

void TIniFile::ReadKeyNames(const std::string& section, TStrings& target) const {
    ReadNames(section.c_str(), target);
}

void TIniFile::ReadSectionNames(TStrings& target) const { ReadNames(nullptr, target); }

void TIniFile::ReadKeyValues(const std::string& section, TStrings& target) const {
    TStringList keys;
    ReadKeyNames(section, keys);
    runtime::UpdateBracket bracket(target);
    for (int32_t i = 0, count = keys.LineCount(); i < count; ++i) {
        std::string key = keys.LineText(i);
        target.SetKeyValue(key, ReadText(section, key, ""));
    }
}

void TIniFile::RemoveSection(const std::string& section) {
    if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, FilePath().c_str())) RaiseWriteError();
}

void TIniFile::RemoveKey(const std::string& section, const std::string& key) {
    WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, FilePath().c_str());
}

void TIniFile::Flush() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FilePath().c_str()); }

void TIniFile::RaiseWriteError() const { throw Exception(Msg::SIniFileWriteError, FilePath()); }
