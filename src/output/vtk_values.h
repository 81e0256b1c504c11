// The G 24 letters of the VTK 3-D result, shared with the other VTK writers of this folder so
// that every file names and computes a letter alike. Private to src/output.
#pragma once

#include <string>

namespace qorva::output_detail {

// The value of a G 24 record (letter, Z code) in cell c; the layer and size come from bnodem
// and lnodem.
double vtkCellValue(char letter, int code, int c);
// True for the letters read at the structured grid point (z, y, v, s, t, X), and their value at
// grid point (i, j).
bool vtkGridPointLetter(char letter);
double vtkGridPointValue(char letter, int i, int j);
// The one-word array name of a record; a layer or size in it is that of bnodem and lnodem.
std::string vtkArrayName(char letter, int code);
// The grain size below which `fraction` of bed layer `layer` of bed cell b lies.
double layerPercentile(int layer, int b, double fraction);

}  // namespace qorva::output_detail
