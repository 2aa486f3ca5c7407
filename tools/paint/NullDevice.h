#pragma once

namespace irr
{
class IrrlichtDevice;
}

namespace paint
{

//! The engine on its null driver, whose image writers put the pictures into files; null after an
//! "ERROR: " line when it cannot be made. The caller drops it.
irr::IrrlichtDevice* createNullDevice();

} // namespace paint
