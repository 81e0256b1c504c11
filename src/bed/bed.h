// Bed change, slides and special bed processes. What other folders may call.
#pragma once

namespace qorva {

// The bed-level update (bedchange, bedchange2 .. bedchange5 by F 255) and everything that moves
// the bed (slides, smoothing, bed layers) belong to this folder, subsystem 11; sediment/
// computes concentrations and transport and calls the bed change from here.

int computeSlidemovement();
void groundwater();
int computeSoilStress();
void computeSlideLocation();
// Joins away the empty layers of bed cell b; returns the number of joins.
int removeZerolayers(int b);

// The mud flow (F 236) in the main flow driver (hooks: not built yet). wall_thixo: the bed
// friction of the mud block in place of the pressure gradient of the momentum equations;
// ThixoVelDamp: the velocity damping of F 289 after the pressure step; ThixoDamp .. ThixoDamp3:
// the yield state of the mud of block `block` by F 289 0..3, at the start of an inner iteration.
void wall_thixo();
void ThixoVelDamp();
void ThixoDamp(int block);
void ThixoDamp1(int block);
void ThixoDamp2(int block);
void ThixoDamp3(int block);

}  // namespace qorva
