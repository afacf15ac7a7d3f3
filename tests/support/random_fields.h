// Recipes whose every field is off its default, for the checks every Xform
// shares: recipe files and settings panels must carry any value a field may
// hold.
#pragma once

struct CFilSpec;

// Every field of the recipe's Xform at a random value it may hold, a real
// as its edit shows it (so that a panel reads it back unchanged). Figures
// stay as they are: Op Art's own tests carry them.
void RandomFields(CFilSpec& filSpec, unsigned seed);
