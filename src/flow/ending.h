// The ending sequence after the fifth level.
#pragma once

void draw_endbkgr();
void the_ending();
