// Relief Map's parameters: the force field as a coloured relief. Levels are
// force values 0..255; the check asks seaLevel <= hillLevel <= rockLevel <=
// snowLine.
#pragma once

struct ReliefMapParams {
    int wizardChooses = 1;
    int earthling = 1;  // fixed earth colours; 0: five random colours per run
    int snowLine = 204;
    int rockLevel = 153;
    int hillLevel = 102;
    int seaLevel = 51;

    bool operator==(const ReliefMapParams&) const = default;
};
