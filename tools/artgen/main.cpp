// artgen FONT DATA_DIR: paints the menu art and the race's place images into the run folder's data
// folder: the three menu backgrounds (DDS), the main menu's six button pairs, the cursor and the
// three place badges (PNG with alpha). The words are drawn with FONT, the game's own font. Same
// bytes on every run: all randomness comes from fixed seeds.

#include "CArtWriter.h"
#include "CButtonPainter.h"
#include "CCursorPainter.h"
#include "CMenuBackgrounds.h"
#include "CPlaceBadgePainter.h"

#include "tools/paint/CTextRenderer.h"

#include <cstdio>
#include <string>

namespace
{

// The main menu's buttons: file stem and the word it shows.
struct SButton
{
	const char* stem;
	const char* word;
};

const SButton kButtons[] = {{"start", "Start"}, {"continue", "Continue"}, {"break", "Abandon race"},
	{"options", "Options"}, {"credits", "Credits"}, {"exit", "Exit"}};

} // namespace

int main(int argc, char** argv)
{
	if (argc != 3)
	{
		printf("ERROR: usage: artgen FONT DATA_DIR\n");
		return 2;
	}
	paint::CTextRenderer text(argv[1]);
	if (!text.isLoaded())
		return 1;
	artgen::CArtWriter out(argv[2]);
	if (!out.isReady())
		return 1;

	unsigned seed = 100;
	artgen::CMenuBackgrounds backgrounds(text);
	out.writeDds(backgrounds.paintMain(), "2d/menu/backgroundm.dds", seed++);
	out.writeDds(backgrounds.paintSub(), "2d/menu/backgrounda.dds", seed++);
	out.writeDds(backgrounds.paintLoading(), "2d/menu/backgroundl.dds", seed++);

	artgen::CButtonPainter buttons(text);
	for (const SButton& b : kButtons)
	{
		const std::string stem = std::string("2d/menu/") + b.stem;
		out.writePng(buttons.paint(b.word, false), stem + "_no.png", seed++);
		out.writePng(buttons.paint(b.word, true), stem + "_yes.png", seed++);
	}
	out.writePng(artgen::CCursorPainter().paint(), "2d/menu/cursor.png", seed++);

	artgen::CPlaceBadgePainter badges(text);
	for (int place = 1; place <= 3; ++place)
		out.writePng(badges.paint(place), "2d/others/place0" + std::to_string(place) + ".png", seed++);
	return out.finish() ? 0 : 1;
}
