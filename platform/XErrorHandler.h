#pragma once

// Makes X protocol errors warnings instead of the end of the game: some drivers raise one for
// things the game can live without (vertical sync under a virtual X server, for one).
// A lost display ends the game with exit code 0.
void installXErrorHandler();
