// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/chartcalc.h"

#include <optional>

class DietCase;
class ErrorReporter;

/**
 * The input form's compute command: checks the weights and the overweight limit, then
 * computes the curve with the "SmallPets" setting given (on: whole kilograms). A new case needs
 * today's weight above the target; a follow-up whose first weight was above it may be at or below
 * it. Refusals and errors are told to the user; the result is empty then.
 */
std::optional<ChartSetup> computeCurve(const DietCase &c, const ErrorReporter &errors,
                                       bool smallPets);
