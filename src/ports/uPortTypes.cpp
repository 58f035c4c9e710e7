#include "ports/uPortTypes.h"

const char* PortPrefix(TPortType Kind) noexcept {
    switch (Kind) {
    case ptCOM:
        return "COM";
    case ptLPT:
        return "LPT";
    case ptUSB:
        return "USB";
    }
    return "";
}

std::string PortName(TPortType Kind, int Number) { return PortPrefix(Kind) + std::to_string(Number); }
