#include "surface/cdadc.h"

CDADC::CDADC() : pDC(new CDC) {}
CDADC::~CDADC() {
    delete pDC;
}
