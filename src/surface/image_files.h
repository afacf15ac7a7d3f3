// Picture files of other formats than the surface's own BMP.
#pragma once

class CDADC;

// Writes the surface in the format of the name's extension; 1 on success.
int VicWriteFile(CDADC* surface, const char* name);
