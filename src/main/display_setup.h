// The player's display choices for this run: the command line over the settings, the settings
// over the defaults.
#pragma once

#include "engine/display_choice.h"
#include "main/options.h"

DisplayChoices ChooseDisplay(const Options& options, const DisplayChoices& saved = DisplayChoices());
