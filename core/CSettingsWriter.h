#pragma once
#include <initializer_list>
#include <string>
#include <utility>

// Builds "settings.xml" as UTF-8 text in the layout the engine's XML reader reads back, and puts
// it in place in one step so the player's progress survives a crash or a full disk.
class CSettingsWriter {
public:
    void writeXMLHeader();
    void writeLineBreak();
    // <name Value="value" />
    void writeElement(const char* name, const std::string& value);
    void writeElement(const char* name, long long value);
    // <name a="1" b="2" />
    void writeElement(const char* name, std::initializer_list<std::pair<const char*, long long>> values);

    const std::string& text() const;
    // False (with a warning) when the file could not be written; the old file then stays.
    bool commit(const std::string& path) const;

private:
    void openElement(const char* name);
    void writeAttribute(const char* name, const std::string& value);
    void closeElement();

    std::string bytes;
};
