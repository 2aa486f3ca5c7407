#include "core/CSettingsWriter.h"

#include <cstdio>

#include "platform/AtomicFile.h"

namespace {

std::string escaped(const std::string& value)
{
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string decimal(long long value)
{
    // Integers never take a locale's grouping, so a decimal-comma locale cannot change them.
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    return text;
}

} // namespace

void CSettingsWriter::writeXMLHeader() { bytes += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; }
void CSettingsWriter::writeLineBreak() { bytes += "\n"; }

void CSettingsWriter::openElement(const char* name)
{
    bytes += "<";
    bytes += name;
}

void CSettingsWriter::writeAttribute(const char* name, const std::string& value)
{
    bytes += " ";
    bytes += name;
    bytes += "=\"";
    bytes += escaped(value);
    bytes += "\"";
}

void CSettingsWriter::closeElement() { bytes += " />"; }

void CSettingsWriter::writeElement(const char* name, const std::string& value)
{
    openElement(name);
    writeAttribute("Value", value);
    closeElement();
}

void CSettingsWriter::writeElement(const char* name, long long value)
{
    writeElement(name, decimal(value));
}

void CSettingsWriter::writeElement(const char* name,
                                   std::initializer_list<std::pair<const char*, long long>> values)
{
    openElement(name);
    for (const auto& attribute : values)
        writeAttribute(attribute.first, decimal(attribute.second));
    closeElement();
}

const std::string& CSettingsWriter::text() const { return bytes; }

bool CSettingsWriter::commit(const std::string& path) const
{
    std::string error;
    if (replaceFileAtomically(path, bytes, error))
        return true;
    std::printf("Warning: Could not save the settings to \"%s\" (%s); the old file is kept\n",
                path.c_str(), error.c_str());
    return false;
}
