#pragma once

#include "tools/paint/CCanvas.h"

#include <future>
#include <string>
#include <vector>

namespace irr
{
class IrrlichtDevice;
}

namespace artgen
{

//! Writes finished pictures under the run folder's data folder, through the engine's image
//! writers (PNG) or our DDS writer, and reports each file.
class CArtWriter
{
public:
	explicit CArtWriter(const std::string& dataDir);
	~CArtWriter();
	CArtWriter(const CArtWriter&) = delete;
	CArtWriter& operator=(const CArtWriter&) = delete;

	//! False when the engine's null device could not be made (nothing can be written then).
	bool isReady() const { return Device != nullptr; }
	//! Waits for the files still being encoded; false when any file failed.
	bool finish();

	//! `name` is relative to the data folder, for example "2d/menu/cursor.png".
	void writePng(const paint::CCanvas& canvas, const std::string& name, unsigned seed);
	//! DXT1: the backgrounds are opaque and drawn without mip levels. The block compression is
	//! the slowest step of the whole art, so it runs beside the painting of the next pictures.
	void writeDds(const paint::CCanvas& canvas, const std::string& name, unsigned seed);

private:
	struct SPending
	{
		std::string path;
		std::future<bool> written;
	};

	void report(const std::string& path, bool written);
	std::string prepare(const std::string& name) const;

	std::vector<SPending> Pending;

	std::string DataDir;
	irr::IrrlichtDevice* Device = nullptr;
	bool Ok = true;
};

} // namespace artgen
