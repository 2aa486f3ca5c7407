#include "CArtWriter.h"

#include "tools/dds/CDDSWriter.h"
#include "tools/paint/NullDevice.h"

#include <irrlicht.h>

#include <cstdio>
#include <filesystem>

namespace artgen
{

CArtWriter::CArtWriter(const std::string& dataDir) : DataDir(dataDir), Device(paint::createNullDevice())
{
}

CArtWriter::~CArtWriter()
{
	finish();
	if (Device)
		Device->drop();
}

bool CArtWriter::finish()
{
	for (SPending& p : Pending)
		report(p.path, p.written.get());
	Pending.clear();
	return Ok;
}

std::string CArtWriter::prepare(const std::string& name) const
{
	const std::string path = DataDir + "/" + name;
	std::error_code ignored;
	std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
	return path;
}

void CArtWriter::writePng(const paint::CCanvas& canvas, const std::string& name, unsigned seed)
{
	const std::string path = prepare(name);
	report(path, Device && canvas.writePng(Device->getVideoDriver(), path, seed));
}

void CArtWriter::writeDds(const paint::CCanvas& canvas, const std::string& name, unsigned seed)
{
	const std::string path = prepare(name);
	const uint32_t width = static_cast<uint32_t>(canvas.width());
	const uint32_t height = static_cast<uint32_t>(canvas.height());
	Pending.push_back({path, std::async(std::launch::async,
								 [path, width, height, argb = canvas.toArgb(seed)]() {
									 return CDDSWriter::write(path, argb, width, height, EDF_DXT1);
								 })});
}

void CArtWriter::report(const std::string& path, bool written)
{
	if (written)
		printf("Menu art %s [OK]\n", path.c_str());
	else
		printf("ERROR: could not write %s\n", path.c_str());
	Ok = Ok && written;
}

} // namespace artgen
