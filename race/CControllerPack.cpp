#include "race/CControllerPack.h"

CControllerPack::~CControllerPack() = default;
