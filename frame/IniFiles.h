#pragma once
// Typed access to a profile file ("[section]" lines, each followed by "key=value" lines). The objects hold only
// the file's path: every read and write is one call to the platform at the moment it is made, so there is
// nothing to save when an object goes away.

#include <cstdint>
#include <string>
#include <utility>

#include "runtime/DateTime.h"
#include "runtime/Object.h"
#include "runtime/Strings.h"

// The typed operations are written once here over ReadText and WriteText, so a class that supplies the text
// operations and the list operations gets all of them.
class TCustomIniFile : public TObject {
  public:
    // The path is kept exactly as given; nothing is checked or touched until the first read or write.
    explicit TCustomIniFile(std::string filePath) : filePath_(std::move(filePath)) {}

    const std::string& FilePath() const { return filePath_; }

    virtual std::string ReadText(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const = 0;
    // Raises Exception when the file cannot be written.
    virtual void WriteText(const std::string& section, const std::string& key, const std::string& value) = 0;
    // Any stored text that is not an integer, a missing key included, reads as defaultValue; reads never raise.
    virtual int32_t ReadNumber(const std::string& section, const std::string& key, int32_t defaultValue) const;
    virtual void WriteNumber(const std::string& section, const std::string& key, int32_t value);
    virtual bool ReadFlag(const std::string& section, const std::string& key, bool defaultValue) const;
    virtual void WriteFlag(const std::string& section, const std::string& key, bool value);
    // Dates, times and reals that are missing or cannot be read give defaultValue.
    virtual TDateTime ReadCalendarDate(const std::string& section, const std::string& key,
                                       TDateTime defaultValue) const;
    virtual TDateTime ReadTimestamp(const std::string& section, const std::string& key,
                                    TDateTime defaultValue) const;
    virtual double ReadReal(const std::string& section, const std::string& key, double defaultValue) const;
    virtual TDateTime ReadClockTime(const std::string& section, const std::string& key,
                                    TDateTime defaultValue) const;
    virtual void WriteCalendarDate(const std::string& section, const std::string& key, TDateTime value);
    virtual void WriteTimestamp(const std::string& section, const std::string& key, TDateTime value);
    virtual void WriteReal(const std::string& section, const std::string& key, double value);
    virtual void WriteClockTime(const std::string& section, const std::string& key, TDateTime value);
    // Fill target (emptied first) with the key names of a section, or with the section names of the file.
    virtual void ReadKeyNames(const std::string& section, TStrings& target) const = 0;
    virtual void ReadSectionNames(TStrings& target) const = 0;
    // Sets a "key=value" line in target for each key of the section: a line of that key is replaced, a missing one
    // added, and one whose value is empty removed. Other lines of target stay.
    virtual void ReadKeyValues(const std::string& section, TStrings& target) const = 0;
    virtual void RemoveSection(const std::string& section) = 0;
    virtual void RemoveKey(const std::string& section, const std::string& key) = 0;
    virtual void Flush() = 0;

  private:
    // Reads a text and converts it with parse; a text that parse refuses gives defaultValue.
    template <typename Parse>
    TDateTime ReadConverted(const std::string& section, const std::string& key, TDateTime defaultValue,
                            Parse parse) const;

    std::string filePath_;
};

// A profile file through the platform's GetPrivateProfileStringA and WritePrivateProfileStringA.
class TIniFile : public TCustomIniFile {
  public:
    using TCustomIniFile::TCustomIniFile;

    // A value comes back with at most 2047 bytes.
    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override;
    // An empty value is written as an empty value; removing a key is RemoveKey's job.
    void WriteText(const std::string& section, const std::string& key, const std::string& value) override;
    void ReadKeyNames(const std::string& section, TStrings& target) const override;
    void ReadSectionNames(TStrings& target) const override;
    void ReadKeyValues(const std::string& section, TStrings& target) const override;
    // Raises as WriteText does.
    void RemoveSection(const std::string& section) override;
    // RemoveKey and Flush report nothing.
    void RemoveKey(const std::string& section, const std::string& key) override;
    void Flush() override;

  private:
    void ReadNames(const char* section, TStrings& target) const;
    [[noreturn]] void RaiseWriteError() const;
};
