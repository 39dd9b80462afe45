// The static curves of the distorting stages as cubic pieces, for antiderivative
// anti-aliasing (units/piecewisecubic.hpp). Each piece function matches its stage's
// own curve (evaluated there in single precision) to within float rounding.
#pragma once
#include "units/piecewisecubic.hpp"
#include "units/tubecurves.hpp"

// [between blocks] The tube curve with its offsets, as a function of the stage's
// input after its gain: out(x) ≈ curve.evaluate(x). False when it does not fit.
bool tubeCurvePieces(const qvtubecurve& curve, qvpiecewisecubic& out);
