#pragma once

class QPainter;

namespace tb {

struct Lattice;
struct RasterMapping;

enum class LatticeDrawing { Plain, Shortcut };

// The tick lattice on the screen's image, the painter's world transform set
// to the mapping's. Plain draws every mark, in the order of the tick loops;
// the shortcut sets the same pixels in a fraction of the time, where a dense
// lattice has billions of marks on a few thousand device pixels.
void paintLatticeOnImage(QPainter& painter, const Lattice& lattice, const RasterMapping& mapping,
                         LatticeDrawing drawing);

} // namespace tb
