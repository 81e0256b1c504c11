// Qorva: three-dimensional water flow, sediment transport and bed change. Run without
// arguments in a case folder that holds `control`.
#include "driver/driver.h"

int main() { return qorva::programMain(); }
