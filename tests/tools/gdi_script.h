// Replays drawing scripts of the GDI reference format on the project's own
// drawing layer.
#pragma once

#include <memory>
#include <string>

class CDADC;

struct ReplayResult {
    std::unique_ptr<CDADC> surface;  // null when the script failed
    std::string output;              // lines printed by extent and metrics
    std::string error;               // why it failed, with the line number
};

ReplayResult ReplayGdiScript(const std::string& scriptText);
