#include "RtlFormatSettings.h"

TFormatSettings TFormatSettings::Create(unsigned) { return TFormatSettings{}; }

const TFormatSettings& FormatSettings() {
    static const TFormatSettings settings{};
    return settings;
}
