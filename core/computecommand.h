#pragma once

#include "core/chartcalc.h"

#include <optional>

class AppSettings;
class DietCase;
class UserInterface;

/**
 * The input form's compute command: checks the weights and the overweight limit, then
 * computes the curve. Refusals and errors are told through the user interface; the
 * result is empty then.
 */
std::optional<ChartSetup> computeCurve(const DietCase &dietCase, UserInterface &ui,
                                       const AppSettings &settings);
