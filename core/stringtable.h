// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

/** Every user-visible text of the program, looked up by its number. */
namespace StringTable {

/** The text of a number; empty (and a warning) for a number the table lacks. */
QString str(int number);

bool contains(int number);

/** Every number in the table, in ascending order. */
QList<int> numbers();

} // namespace StringTable

using StringTable::str;
