// "settings.xml" as the game reads it at start and writes it back at the end.
#include <cstdio>

#include "core/CGameData.h"
#include "core/CTranslation.h"
#include "core/SGameSettings.h"
#include "tests/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CTranslation texts("data/none.lang");
    static CGameData gameData(&texts);
    const std::string path = writeFuzzFile("settings.xml", data, size);
    SGameSettings settings;
    gameData.loadSettings(path, &settings);
    return 0;
}
