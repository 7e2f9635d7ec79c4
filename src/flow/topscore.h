// The top score, kept in data\\hiscore.dat between runs.
#pragma once

// save = 0 loads it at start-up, save = 1 writes it at exit.
void topscore_file(int save);
