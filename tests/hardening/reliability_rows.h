// Rows of the bad-input matrix that only time and a second thread show: dates past 2038
// and several host threads calling at once. Run on fresh module copies beside the simulator.
#pragma once

#include "matrix.h"

#include <vector>

std::vector<hardening::MatrixCase> ReliabilityRows();
