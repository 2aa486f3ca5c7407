#include "core/SKeyEntry.h"

SKeyEntry::SKeyEntry(irr::EKEY_CODE code, const std::string& name, const std::wstring& displayName)
    : code(code), name(name), displayName(displayName)
{
}

SKeyEntry::~SKeyEntry()
{
}

irr::EKEY_CODE SKeyEntry::getCode() const { return code; }
std::string SKeyEntry::getName() const { return name; }
std::wstring SKeyEntry::getDisplayName() const { return displayName; }
