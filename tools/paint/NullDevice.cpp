#include "NullDevice.h"

#include <irrlicht.h>

#include <cstdio>

namespace paint
{

irr::IrrlichtDevice* createNullDevice()
{
	irr::SIrrlichtCreationParameters params;
	params.DriverType = irr::video::EDT_NULL;
	params.LoggingLevel = irr::ELL_WARNING;
	irr::IrrlichtDevice* device = irr::createDeviceEx(params);
	if (!device)
		printf("ERROR: the engine's null device could not be created\n");
	return device;
}

} // namespace paint
