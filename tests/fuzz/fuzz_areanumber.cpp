// Area numbers: whatever parses renders to a text that parses back to the
// same number (to 15 significant digits).
#include "fuzzinput.h"
#include "quotation/areanumber.h"

#include <cmath>

using namespace tovakidoviv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const std::optional<double> value = areanumber::parse(input.nextText());
    if (!value)
        return 0;
    FUZZ_CHECK(std::isfinite(*value));
    const QString text = areanumber::render(*value);
    FUZZ_CHECK(!text.isEmpty());
    FUZZ_CHECK(!text.startsWith(QLatin1Char('+')) && !text.contains(QLatin1Char(' ')));
    const std::optional<double> again = areanumber::parse(text);
    FUZZ_CHECK(again.has_value());
    const double scale = std::max(std::fabs(*value), std::numeric_limits<double>::min());
    FUZZ_CHECK(std::fabs(*again - *value) <= scale * 1e-14);
    FUZZ_CHECK(areanumber::render(*again) == text);
    return 0;
}
