#include "tools/orvel/plot.h"

#include "tools/orvel/errors.h"

namespace orvel {

void writePlot(const PlotRequest&) {
    throw Error("--plot is not drawn yet");
}

} // namespace orvel
