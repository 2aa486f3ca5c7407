#include "menu/CMenu.h"

#include <utility>

CMenu::CMenu(SGameSettings* settings, CGameData* gameData, CGameEngine* engine,
             CEntityManager* entities, CSoundManager* sound, CTranslation* texts)
    : menuName("Main"), settings(settings), gameData(gameData), engine(engine),
      entities(entities), sound(sound), texts(texts)
{
}

CMenu::~CMenu() = default;

void CMenu::setMenuName(std::string name) { menuName = std::move(name); }

std::string CMenu::getMenuName() { return menuName; }
