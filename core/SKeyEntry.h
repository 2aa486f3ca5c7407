#pragma once
#include <irrlicht.h>
#include <string>

// One key a player may bind to a driving action: its code, the name "settings.xml" stores and the
// name the menus show.
class SKeyEntry {
public:
    SKeyEntry(irr::EKEY_CODE code, const std::string& name, const std::wstring& displayName);
    ~SKeyEntry();

    irr::EKEY_CODE getCode() const;
    std::string getName() const;
    std::wstring getDisplayName() const;

private:
    irr::EKEY_CODE code;
    std::string name;
    std::wstring displayName;
};
